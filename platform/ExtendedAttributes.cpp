#include "platform/ExtendedAttributes.h"

#include "platform/FileNames.h"
#include "platform/SysCalls.h"

#include <cerrno>
#include <sys/xattr.h>

namespace platform {

std::optional<QByteArray> readAttribute(const QString& path, const char* name)
{
    return readAttributeAt(nativePath(path), name);
}

std::optional<QByteArray> readAttributeAt(const QByteArray& native, const char* name)
{
    // Most files carry none: one call with a small buffer on the stack answers that.
    char small[256];
    const ssize_t size = ::lgetxattr(native.constData(), name, small, sizeof small);
    if (size >= 0)
        return QByteArray(small, size);
    if (errno != ERANGE)
        return std::nullopt;
    for (int attempt = 0; attempt < 4; ++attempt) {
        // Longer than the buffer: ask for its size, which may grow again before the next read.
        const ssize_t needed = ::lgetxattr(native.constData(), name, nullptr, 0);
        if (needed < 0)
            return std::nullopt;
        QByteArray value(needed + 1, Qt::Uninitialized);
        const ssize_t read =
            ::lgetxattr(native.constData(), name, value.data(), size_t(value.size()));
        if (read >= 0) {
            value.truncate(read);
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
    return std::nullopt;
}

bool writeAttribute(const QString& path, const char* name, const QByteArray& value)
{
    return writeAttributeAt(nativePath(path), name, value);
}

bool writeAttributeAt(const QByteArray& native, const char* name, const QByteArray& value)
{
    if (readAttributeAt(native, name) == value)
        return true;
    return sys::lsetxattr(native.constData(), name, value.constData(), size_t(value.size()), 0) ==
           0;
}

bool removeAttribute(const QString& path, const char* name)
{
    return removeAttributeAt(nativePath(path), name);
}

bool removeAttributeAt(const QByteArray& native, const char* name)
{
    return sys::lremovexattr(native.constData(), name) == 0 || errno == ENODATA;
}

} // namespace platform
