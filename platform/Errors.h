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
