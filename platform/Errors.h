#pragma once
// Errors that end a command and reach the user in the application's error box.

#include <QString>

#include <exception>

namespace platform {

// A failure the user is told about; what() is for logs, message() for the error box.
class UserError : public std::exception
{
public:
    explicit UserError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {
    }
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// Text that an INI file cannot hold as one line: it holds a line break.
class UnstorableText : public UserError
{
public:
    explicit UnstorableText(const QString& text)
        : UserError(QStringLiteral("“%1”含有换行符，不能写入设置文件或注释文件，没有写入任何内容。")
                        .arg(QString(text).replace(u'\r', u' ').replace(u'\n', u' ')))
    {
    }
};

// A failure of the program's own file writes that has no errno value of its own. (A folder,
// FIFO or device in a file's place is EISDIR, a file larger than any of the program's EFBIG.)
namespace errors {
inline constexpr int Unreadable = 0x10000; // exists but cannot be read, so is not rewritten
inline constexpr int Busy = 0x10001;       // another program kept its folder locked too long
} // namespace errors

// Why a write failed, in one sentence for the user; empty when `error` is 0.
QString writeFailureReason(int error);

// A write that the file system refused: "Unable to write to <path>", and on a second line
// why, when it is known, and that the old file is as it was.
class WriteError : public UserError
{
public:
    explicit WriteError(const QString& path, int error = 0);
    const QString& path() const { return m_path; }
    int error() const { return m_error; }

private:
    QString m_path;
    int m_error = 0;
};

} // namespace platform
