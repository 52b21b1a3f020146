#pragma once
// The program's own texts: captions, messages and questions, each in one place.

#include <QString>

namespace core::texts {

// Program
inline const QString AppTitle = QStringLiteral("Quillet 2.96 for WIN98/ME/2000");
inline const QString VersionNumber = QStringLiteral("2.96");
inline const QString Version = QStringLiteral("Version 2.96");
inline const QString ReadOnlyRefusal =
    QStringLiteral("当前应用程序运行在一个只读存储存设备上，本命令不可执行！");
inline const QString ReadOnlyCaption = QStringLiteral("系统提示");
// Said once in the status bar where the window system keeps no window on top (Wayland).
inline const QString DropWindowNotOnTop =
    QStringLiteral("Wayland 桌面不允许程序让窗口总在最前，拖放窗口在这里是普通窗口。");

// Where a downloaded file came from, before its address.
inline const QString OriginLabel = QStringLiteral("来源：");

// Trees
inline const QString DefaultRootCaption = QStringLiteral("我的软件库");
inline const QString TransitCaption = QStringLiteral("临时中转站");
inline const QString RecycleBoxCaption = QStringLiteral("废品回收箱");
inline const QString ExternalRootCaption = QStringLiteral("外部文件库");
inline const QString SystemSectionCaption = QStringLiteral("系统文件库");
inline const QString ExternalSectionCaption = QStringLiteral("外部文件库");
inline const QString SystemRootStatus = QStringLiteral("系统总分类库");
inline const QString ExternalRootStatus = QStringLiteral("外部文件库");
inline const QString RecycleBoxMissing =
    QStringLiteral("注意《废品回收箱》文件夹不存在,系统将自动创建！");
inline const QString TransitMissing =
    QStringLiteral("注意《临时中转站》文件夹不存在,系统将自动创建！");
inline const QString CategoryMissing =
    QStringLiteral("注意！此分类库的磁盘所在目录不存在,系统将要删除！");

// New category form
inline const QString NewCategoryCaption = QStringLiteral("软件分类库");
inline const QString NewCategoryLabel = QStringLiteral("请输入分类库名...");
inline const QString NewCategoryOk = QStringLiteral("确定(&Y)");
inline const QString NewCategoryCancel = QStringLiteral("取消(&C)");
QString reservedNameMessage(const QString& name);
QString invalidNameMessageNew();
QString invalidNameMessageRename();
inline const QString CategoryExists = QStringLiteral("注意！已有同名的分类库存在。");
inline const QString CategoryCreateFailed = QStringLiteral("分类库创建失败，请重试！");
inline const QString CategoryNameEmpty = QStringLiteral("类库名不能空，请输入类库名!");
inline const QString CaptionLineBreak = QStringLiteral("名称中不能含有换行符，请重新输入！");
QString categoryRenameFailed();
inline const QString DeleteRootRefusal = QStringLiteral("注意！你不能把总分类库都删除掉呀！");
inline const QString DeleteRootCaption = QStringLiteral("喝杯啤酒下下火吧！");
inline const QString DeleteSystemFolderRefusal =
    QStringLiteral("老兄！这是系统必须的分类库，不能删除的啦！");
inline const QString DeleteSystemFolderCaption = QStringLiteral("嘿哩呀啦啊...");
inline const QString CategoryHasChildren = QStringLiteral("注意！此分类库有下级分类库，不能删除！");
// The status bar when a listing could not write the notes it settled, could not read the
// folder's notes file, or could not read the folder.
QString notesNotSettled(const QString& reason);
QString notesUnreadable(const QString& path);
QString folderUnreadable(const QString& dir);
// The status bar when a conflict copy of a notes file (made by a synced folder) could not be
// read, could not be merged (the notes file or a document could not be written), or was
// merged but could not go into the recycle box.
QString conflictCopyUnreadable(const QString& path, const QString& reason);
QString conflictCopyNotMerged(const QString& path, const QString& reason);
QString conflictCopyNotMoved(const QString& path, const QString& reason);
// The line a file's document gets for a note of a conflict copy that differs from its own.
QString conflictNoteLine(const QString& copyPath, const QString& note);
inline const QString CategoryHasFiles = QStringLiteral("注意！分类库中还有文件存在，不能删除！");
inline const QString DeleteCategoryQuestion = QStringLiteral("你真的要删除这个软件分类库吗？");
inline const QString DeleteCategoryCaption = QStringLiteral("提示");
inline const QString CategoryDeleteFailed = QStringLiteral("注意！分类库删除失败，请重试！");

// Notes
inline const QString NotesCleaned = QStringLiteral("注释资料已成功的清理！");
inline const QString NotesCleanedCaption = QStringLiteral("提示信息");

// Standard category template
inline const QString TemplateCaption = QStringLiteral("标准分类库");
inline const QString TemplateHint = QStringLiteral("请选取要建立的分类库，然后按创建按钮。");
inline const QString TemplateRootCaption = QStringLiteral("文件分类库");
inline const QString TemplateNothingChosen = QStringLiteral("请先选取要建立的分类库。");
inline const QString TemplateHintCaption = QStringLiteral("提示信息");
inline const QString TemplateDoneCaption = QStringLiteral("请你注意");
inline const QString TemplateCreated = QStringLiteral("分类库创建完成！");
QString templateCreateFailed(const QString& caption);

// Background pictures
QString pictureLoadFailed(const QString& path);

// File list
inline const QString DocumentMark = QStringLiteral("此文件有详细文档");
QString fileCount(int count);             // 共N个文件
QString fileCountAfterRefresh(int count); // N个文件
QString selectedCount(int count);         // 共选取了N个文件

} // namespace core::texts
