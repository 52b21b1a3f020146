#pragma once
// The texts of the search page, each in one place.

#include <QString>

namespace search::texts {

inline const QString ModeByName = QStringLiteral("按文件名查找");
inline const QString ModeByNote = QStringLiteral("按注释字查找");
inline const QString FindHint = QStringLiteral("开始搜索(Enter)");
inline const QString ClearHint = QStringLiteral("清除搜索结果");
inline const QString HelpHint = QStringLiteral("帮助");
inline const QString KeywordName = QStringLiteral("关键字");
inline const QString ModeName = QStringLiteral("查找方式");
inline const QString ToBrowseHint = QStringLiteral("切换到文件浏览方式");
inline const QString ToSearchHint = QStringLiteral("切换到文件查找方式");

inline const QString EmptyKeyword = QStringLiteral("呵呵！老兄你故意难我是吧，请输入关键字符吧！");
inline const QString Searching = QStringLiteral("正在查找符合条件的文件，请稍候...");
inline const QString NothingFound = QStringLiteral("不好意思，没有找到符合条件的文件！");
inline const QString NothingFoundCaption = QStringLiteral("提示信息");

// "共找到 N 个文件"
QString foundCount(int count);
// While the walk goes on: the folders read so far first, so that a narrow panel still shows
// them move.
QString progress(int folders, int found);

} // namespace search::texts
