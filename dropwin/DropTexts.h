#pragma once
// The texts of the desktop drop window, each in one place.

#include <QString>

namespace dropwin::texts {

inline const QString WindowTitle = QStringLiteral("文件拖放窗口");
// The mark of each drop mode, by its value: copy, move.
inline const QString DropModeMarks[] = {QStringLiteral("复"), QStringLiteral("移")};
inline const QString SoundFileName = QStringLiteral("DropEnd.wav");

inline const QString NoticeCaption = QStringLiteral("请你注意");
inline const QString NoCategory = QStringLiteral("你当前没有选中一个分类库或正处在总分类库中,\n"
                                                 "不能将文件拖到这些类库，请先选择一个分类库!");
inline const QString FolderFailedCaption = QStringLiteral("出错了");
// A sub-category for a dropped folder could not be created at `path`.
QString folderCreateFailed(const QString& path);
QString dropFailed(const QString& path);
QString folderFileFailed(const QString& name);
// A file of other bytes that shows as `name` lies in the category: both would share one note.
QString shownAlike(const QString& name);

QString sameNameCaption(const QString& name);
// DropSameNamePrompt: the lines of the replace question, joined by carriage returns.
QString DropSameNamePrompt(const QString& name, const QString& existingSize,
                           const QString& existingDate, const QString& droppedSize,
                           const QString& droppedDate);

} // namespace dropwin::texts
