#pragma once
// The texts of the file commands: importing, the recycle box, note editing, sending files
// out, the attributes form, renaming, running and moving, each in one place.

#include <QString>

namespace fileops::texts {

// Importing files and folders
inline const QString ChooseFilesTitle = QStringLiteral("请选择一个或多个文件");
inline const QString ChooseFilesFilter = QStringLiteral("所有文件[*.*]|*.*");
inline const QString ChooseFolderTitle = QStringLiteral("请选择一个目录...");
inline const QString AlreadyInCategory =
    QStringLiteral("你选定的文件就是当前分类库中的文件，不必再导入了吧！");
inline const QString SameNameCaption = QStringLiteral("同名文件存在");
// A folder (not a file) of the same name lies where a file should go.
QString folderOfSameName(const QString& name);
QString importFailed(const QString& source);
// A file of other bytes that shows as `name` lies in the category: both would share one note.
QString shownAlike(const QString& name);
QString notesFileNotImported(const QString& path);
// The same-name question of the file import: five lines joined by line feeds.
QString ImportSameNamePrompt(const QString& name, const QString& existingDate, qint64 existingSize,
                             const QString& chosenDate, qint64 chosenSize);

// Recycle box
inline const QString MoveToBoxQuestion = QStringLiteral("确定要将选取的文件移到废品收集箱吗？");
inline const QString MoveToBoxCaption = QStringLiteral("请你三思！");
QString sameNameInBoxQuestion(const QString& name);
QString folderOfSameNameInBox(const QString& name);
inline const QString SameNameInBoxCaption = QStringLiteral("请注意！");
QString directDeleteFailed(const QString& name);
QString moveToBoxFailed(const QString& name);
inline const QString DeleteForGoodQuestion = QStringLiteral("确定要删除选取的文件吗？");
inline const QString DeleteForGoodCaption = QStringLiteral("请你注意！");
QString deleteForGoodFailed(const QString& name);
inline const QString DeleteFoundQuestion = QStringLiteral("真的要删除选中的文件吗？");
inline const QString DeleteFoundCaption = QStringLiteral("请你三思");
inline const QString NotInRecycleBox = QStringLiteral("你目前不是处在[废物收集箱]中操作！");
inline const QString EmptyBoxQuestion =
    QStringLiteral("你真的要清空全部文件吗？清空后再也不能找回来的 0_0");
inline const QString EmptyBoxCaption = QStringLiteral("请保持头脑清醒");

// Restoring files from the recycle box to the categories they were deleted from
inline const QString RestoreCaption = QStringLiteral("还原文件");
inline const QString RestoreOk = QStringLiteral("还原");
inline const QString RestoreCancel = QStringLiteral("取消");
inline const QString RestoreTreeName = QStringLiteral("可以还原到的分类库");
// The tree question when the box does not know where the file came from, when that folder is
// gone, and when the file cannot go back there.
QString restoreUnknownOrigin(const QString& name);
QString restoreOriginGone(const QString& name, const QString& folder);
QString restoreElsewhere(const QString& name);
QString restoreFailed(const QString& name);

// Note editing
inline const QString NoRowForNote =
    QStringLiteral("请先点一个文件项吧，我才能知道将这些文字写到哪一条中！\n"
                   "我可猜不中你的思想，当然，我有特异功能就不在话下了：)");
inline const QString EditedFileGone =
    QStringLiteral("正在编辑说明的文件已被其他程序删除或移走，说明没有保存，仍留在编辑框中。");
inline const QString NoteDialogCaption = QStringLiteral("编辑软件说明");
QString noteDialogLabel(const QString& name);
inline const QString ClearNoteQuestion = QStringLiteral("你要清除选中文件的说明文字吗？");
inline const QString ClearNoteCaption = QStringLiteral("请你三思啊！");
inline const QString ReplaceNoteQuestion =
    QStringLiteral("你要用拖动项的注释替换当前选中项的注释吗？");
inline const QString ReplaceNoteCaption = QStringLiteral("清你注意");

// Sending files to the floppy disk or another folder
inline const QString FloppyNotReady = QStringLiteral("软驱未准备好，请放入磁盘再试！");
QString floppySameNameQuestion(const QString& name);
inline const QString SystemHintCaption = QStringLiteral("系统提示");
inline const QString FloppyFull = QStringLiteral("磁盘已没有足够空间来存放复制的文件\r"
                                                 "请放入一张新磁盘继续复制剩余的文件.");
inline const QString FloppyWriteProtected = QStringLiteral("磁盘可能写保护，请打开后重试...");
inline const QString FloppyDone = QStringLiteral("文件已成功的传送！");
inline const QString SendFolderTitle = QStringLiteral("请选择一个目录...");
// The replace question of sending to a folder: five lines joined by line feeds.
QString SendReplacePrompt(const QString& target, const QString& targetDate, qint64 targetSize,
                          const QString& rowDate, const QString& rowSize);
QString sendCopyFailed(const QString& name);
QString folderSameNameQuestion(const QString& folder, const QString& name);
QString copyToFolderFailed(const QString& name);
inline const QString SendDone = QStringLiteral("文件传送完成！");

// File attributes
inline const QString AttributesCaption = QStringLiteral("系统提示");
inline const QString AttributesFailed = QStringLiteral("设置文件属性失败！");
QString attributesFailedFor(const QString& name);
// The medium of the chosen files cannot keep these attributes (a bit mask of hidden, archive
// and system), so no file was changed.
QString attributesNotHeld(unsigned attributes);
QString severalFilesChosen(int count);

// Renaming
inline const QString NameEmpty = QStringLiteral("注意！资料名称不能空！");
inline const QString InvalidNameCaption = QStringLiteral("请你注意了");
inline const QString InvalidNameInFileList =
    QStringLiteral("文件名不能含有以下字符:\r{ /,\\,:,*,?,\",<,>,| }");
inline const QString InvalidNameInSearchList =
    QStringLiteral("注意：你输入了系统不接受的字符做为文件名\r这些字符是[/,\\,:,*,?,\",<,>,|]");
inline const QString NameExists = QStringLiteral("此文件名已经存在,请重新命名");
inline const QString NotesFileNameRefused =
    QStringLiteral("这是保存文件注释的文件名，不能用作文件名，请重新命名");
QString noteKeyRefused(const QString& name);
QString renameShownAlike(const QString& name);
QString renameFailed(const QString& oldName, const QString& newName, const QString& reason);
QString documentNotRenamed(const QString& oldName, const QString& newName);
// The document could not take the new name for another reason (a name too long, no room).
QString documentRenameFailed(const QString& oldName, const QString& reason);

// Running and opening
inline const QString DoubleEnvError =
    QStringLiteral("系统错误！\n\n请在系统设置窗口中重新设定双击事件。");
QString fileToRunMissing(const QString& path);

// Moving files and categories by dragging them onto the trees
inline const QString NoFilesInRoot = QStringLiteral("不能移动到总分类库中，总分类库不保存文件！");
inline const QString NoFilesInRootCaption = QStringLiteral("信息提示");
inline const QString NoFilesInExternalRoot =
    QStringLiteral("对不起，这是个总分类库标题，不能移动到这里！");
inline const QString SameCategory = QStringLiteral("移动错误，目标分类库和原分类库相同。");
inline const QString NoTargetFolder =
    QStringLiteral("无法提取目标类库目录路径，拖动失败，请重试！");
inline const QString CategoryMoveFailed = QStringLiteral("移动分类库失败，请重试！");
inline const QString CategoryMoveFailedCaption = QStringLiteral("对不起,我也不知道");
QString moveFoundQuestion(const QString& category);
inline const QString MoveFoundCaption = QStringLiteral("操作确认");
QString alreadyInCategory(const QString& name, const QString& category);
QString moveFileFailed(const QString& name);
// A folder (not a file) of the same name lies where a moved file should go.
QString folderOfSameNameInCategory(const QString& name, const QString& category);
// A file of other bytes that shows as `name` lies in the target: both would share one note.
QString shownAlikeInCategory(const QString& name, const QString& category);
inline const QString MoveSameNameCaption = QStringLiteral("系统提示");
// The same-name question of a move: five lines joined by line feeds.
QString MoveSameNamePrompt(const QString& category, const QString& name,
                           const QString& existingDate, qint64 existingSize, const QString& rowDate,
                           const QString& rowSize);

} // namespace fileops::texts
