#pragma once
// Errors that end a command and reach the user in the application's error box.

#include <QString>

#include <exception>

namespace platform {

// A failure the user is told about; what() is for logs, message() for the error box.
class UserError : public std::exception
{
public:
    explicit UserError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
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

// A write that the file system refused: "Unable to write to <path>".
class WriteError : public UserError
{
public:
    explicit WriteError(const QString& path)
        : UserError(QStringLiteral("Unable to write to %1").arg(path)), m_path(path)
    {
    }
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

} // namespace platform
