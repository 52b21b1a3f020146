#pragma once
// The texts of the external folder libraries: the tree's messages, the folder form and its
// checks, each in one place.

#include <QString>

namespace external::texts {

// Selecting an entry
inline const QString FolderNotSet =
    QStringLiteral("这个分类库的对应目录不明确,请重新设定对应目录!");
inline const QString FolderVanished =
    QStringLiteral("此分类库的外部对应目录不存在,系统将要移去这个分类库！");
// The folder is there, or may be, but cannot be reached: the registration stays.
QString folderUnreachable(const QString& folder, const QString& reason);

// The folder form
inline const QString FormCaption = QStringLiteral("自定义文件夹");
inline const QString FormPrompt =
    QStringLiteral("请设定一个分类库名以及此类库的对应的目录目录路径.");
inline const QString NameLabel = QStringLiteral("分类库名");
inline const QString FolderLabel = QStringLiteral("磁盘目录");
inline const QString BrowseHint = QStringLiteral("选择目录...");
inline const QString BrowseTitle = QStringLiteral("请选择一个目录...");
inline const QString AddOk = QStringLiteral("确 定");
inline const QString AddClose = QStringLiteral("关 闭");
inline const QString RedefineOk = QStringLiteral("保 存");
inline const QString RedefineClose = QStringLiteral("取 消");

// The form's checks, shown as warnings with this caption
inline const QString CheckCaption = QStringLiteral("系统消息");
inline const QString NameMissing = QStringLiteral("请输入一个代表下面文件夹路径的分类库名称。");
inline const QString FolderMissing = QStringLiteral("请选择分类库的对应目标目录路径。");
inline const QString NetworkDrive = QStringLiteral("你不能选择网络驱动器上的目录。");
inline const QString CdRomDrive = QStringLiteral("你不能选择在CD_ROM是的文件夹。");
inline const QString RamDisk = QStringLiteral("你不能选择在虚拟驱动器上的目录.");
inline const QString UnknownDrive =
    QStringLiteral("目录路径所在的磁盘类型无法确定,\r请在本地硬盘上选择一个文件夹。");
// A name the configuration file would not give back as it was typed.
inline const QString NameUnstorable =
    QStringLiteral("分类库名的前后不能有空格，不能以“;”或“[”开头，也不能含有“=”或换行符，"
                   "请重新输入。");
// A folder whose path the configuration file cannot hold.
inline const QString FolderUnstorable =
    QStringLiteral("这个目录的路径不能保存到设置文件中，请选择另一个目录。");

// Removing and renaming
inline const QString RootNotRemovable = QStringLiteral("注意！你不能删除掉这个节点！");
inline const QString BoxNotRemovableCaption = QStringLiteral("是不是太累睡着了?");
inline const QString RemoveCaption = QStringLiteral("请小心操作");
QString removeQuestion(const QString& folder);
inline const QString NameTaken = QStringLiteral("已有同名的外部文件库，请换一个类库名。");

} // namespace external::texts
