#pragma once
// One running copy per library: the first start for a library folder and configuration file
// listens on a local socket in a folder only its user can enter; a later start for the same
// pair hands its files over to it (which brings them in and comes to the front) and ends.
// A start for another library, or with another configuration file, runs beside it.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace platform {

class RunningCopy : public QObject
{
    Q_OBJECT
public:
    // `folder` holds the sockets; by default $XDG_RUNTIME_DIR, else a folder of the user's own
    // in the temporary folder.
    RunningCopy(const QString& libraryDir, const QString& configPath,
                const QString& folder = defaultFolder(), QObject* parent = nullptr);
    ~RunningCopy() override;

    enum class Outcome
    {
        First,      // no copy runs for this library: this one now listens
        HandedOver, // the running copy took the files
        Alone,      // no private folder for the socket: this copy runs without one
    };
    // Hands `paths` (absolute, as their bytes) to the running copy of this library, or makes
    // this copy the one that listens. `answerMs` is how long to wait for the running copy's
    // receipt; the files are handed over whether it answers in time or not.
    Outcome start(const QList<QByteArray>& paths, int answerMs = 3000);
    // False when the running copy took the files but did not answer within the time (it is
    // busy with a command); they are brought in when it is free.
    bool answered() const { return m_answered; }

    // The socket's path; empty when there is no private folder for it.
    const QString& socketPath() const { return m_socketPath; }
    static QString defaultFolder();

Q_SIGNALS:
    // A later start handed files over (none: it only asks for the window).
    void handedOver(const QList<QByteArray>& paths);

private:
    bool sendTo(const QList<QByteArray>& paths, int answerMs);
    void receive(QLocalSocket* socket);

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
    bool m_answered = true;
};

} // namespace platform
