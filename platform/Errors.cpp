#include "platform/Errors.h"

#include "platform/FileNames.h"

#include <QtGlobal>

#include <cerrno>

namespace platform {

QString writeFailureReason(int error)
{
    switch (error) {
    case 0:
        return {};
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足，原有的文件保持不变。");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限，或者文件带有只读属性；原有的文件保持不变。");
    case EROFS:
        return QStringLiteral("磁盘是只读的。");
    case ELOOP:
        return QStringLiteral("它是一个符号链接。为免改动所在文件夹以外的文件，程序不通过链接写入；"
                              "链接和它指向的文件都没有改变。");
    case EISDIR:
        return QStringLiteral("它不是一个普通文件（而是文件夹、管道或设备），没有写入。");
    case EFBIG:
        return QStringLiteral("它大得不像是本程序的文件，没有改写它。");
    case errors::Unreadable:
        return QStringLiteral("它无法读取；为免丢失其中的内容，没有改写它。");
    case errors::Busy:
        return QStringLiteral("另一个程序正在改写它，等了几秒仍未结束；为免丢失对方写入的内容，"
                              "没有写入，原有的文件保持不变。");
    case EIO:
        return QStringLiteral("磁盘读写出错，原有的文件保持不变。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("它所在的文件夹不存在。");
    default:
        return qt_error_string(error) + QStringLiteral("（原有的文件保持不变。）");
    }
}

WriteError::WriteError(const QString& path, int error)
    : UserError(QStringLiteral("Unable to write to %1").arg(displayText(path)) +
                (error == 0 ? QString() : u'\n' + writeFailureReason(error))),
      m_path(path), m_error(error)
{
}

} // namespace platform
