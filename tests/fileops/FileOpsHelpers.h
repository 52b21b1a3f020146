#pragma once
// Small helpers for the file command tests.

#include "core/FileRow.h"
#include "platform/FileNames.h"
#include "platform/SysCalls.h"
#include "support/World.h"

#include <QDir>
#include <QStringList>

#include <ostream>
#include <sys/xattr.h>

// Texts show as text in failure reports.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace fileops_testing {

inline QByteArray native(const QString& path)
{
    return platform::nativePath(path);
}

// The comment of the entry itself; "<none>" when it has none.
inline QByteArray commentOf(const QString& path)
{
    char value[4096];
    const ssize_t n =
        ::lgetxattr(native(path).constData(), "user.xdg.comment", value, sizeof value);
    return n < 0 ? QByteArrayLiteral("<none>") : QByteArray(value, n);
}

// Refuses changes of extended attributes and modes on paths that end in `suffix`, as a file the
// user may not change, a full disk or a comment too long refuses them: the first `count` of
// them, or all when `count` is negative.
class RefuseMetadata : public platform::sys::FaultHook
{
public:
    RefuseMetadata(QByteArray suffix, int count, int error = EACCES)
        : m_suffix(std::move(suffix)), m_count(count), m_error(error)
    {
    }
    int before(platform::sys::Call call, int, const char* path, const char*) override
    {
        if (call != platform::sys::Call::Metadata || !path ||
            !QByteArrayView(path).endsWith(m_suffix) || m_count == 0)
            return 0;
        if (m_count > 0)
            --m_count;
        return m_error;
    }

private:
    QByteArray m_suffix;
    int m_count;
    int m_error;
};

inline bool setAttribute(const QString& path, const char* name, const QByteArray& value)
{
    return ::lsetxattr(native(path).constData(), name, value.constData(), size_t(value.size()),
                       0) == 0;
}

// The names of the selected rows of the file list, from the top.
inline QStringList selectedNames(testing_support::World& world)
{
    QStringList names;
    for (int row : core::Workspace::selectedRows(world.workspace.fileSelection()))
        names.append(world.workspace.fileList().row(row).name);
    return names;
}

// Every entry of a folder, dot-files included, sorted.
inline QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

inline core::FileRow searchRow(const QString& folder, const QString& name, const QString& note)
{
    core::FileRow row;
    row.folder = folder;
    row.name = name;
    row.caption = name;
    row.note = note;
    return row;
}

// "[fileinfo]" and the lines given, each ended by CR LF, as a notes file holds them.
inline QString notesFileText(const QStringList& lines)
{
    QString text = QStringLiteral("[fileinfo]\r\n");
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace fileops_testing
