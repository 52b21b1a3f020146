#pragma once
// The texts of the document page, each in one place.

#include <QString>

namespace fileops::texts {

inline const QString NoDocumentText =
    QStringLiteral("现在不能编辑任何文字，因为你没有选中任何文件。");
inline const QString NoDocumentName = QStringLiteral("喂喂！现在你不能进行此项操作。\r"
                                                     "因为我不知道要保存成什么文件名！\r"
                                                     "现在你只能放弃此项操作，哈！你白打字了。");
inline const QString UnsavedQuestion = QStringLiteral("当前的文档内容已被编辑过，是否保存?");
inline const QString UnsavedCaption = QStringLiteral("请你指示我操作");
inline const QString TextFilter = QStringLiteral("文本文件[*.txt]|*.txt|所有文件[*.*]|*.*");
inline const QString SaveAsTitle = QStringLiteral("文档另存为...");
inline const QString SaveAsFailed = QStringLiteral("保存文件时出错!目标文件属性只读,写入失败 P:=(");
inline const QString LoadTitle = QStringLiteral("请选择一个文本文件");
inline const QString LoadFailed = QStringLiteral("调入文件时出错!");
inline const QString LoadTooLarge = QStringLiteral("文件大于64MB，编辑器不能调入。");
// The document could not be written, read or deleted: the path and the system's reason.
QString documentWriteFailed(const QString& path, const QString& reason);
QString documentReadFailed(const QString& path, const QString& reason);
QString documentDeleteFailed(const QString& path, const QString& reason);

} // namespace fileops::texts
