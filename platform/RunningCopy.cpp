#include "platform/RunningCopy.h"

#include "platform/FileNames.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr quint32 kMagic = 0x51554c31; // "QUL1"
const QByteArray kReceipt = QByteArrayLiteral("ok\n");

// True when `folder` is a real folder of this user's that nobody else may enter.
bool isPrivateFolder(const QString& folder)
{
    struct stat st;
    return ::lstat(nativePath(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

} // namespace

QString RunningCopy::defaultFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return runtime;
    const QString own =
        QDir::tempPath() + QStringLiteral("/quillet-%1").arg(static_cast<qulonglong>(::geteuid()));
    ::mkdir(nativePath(own).constData(), 0700);
    return own;
}

RunningCopy::RunningCopy(const QString& libraryDir, const QString& configPath,
                         const QString& folder, QObject* parent)
    : QObject(parent)
{
    if (folder.isEmpty() || !isPrivateFolder(folder))
        return; // a socket others could answer for is no socket at all
    // The name is short whatever the paths: a socket's path has a small limit.
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(nativePath(libraryDir));
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(nativePath(configPath));
    m_socketPath = folder + QStringLiteral("/quillet-") +
                   QString::fromLatin1(hash.result().toHex().left(20)) + QStringLiteral(".socket");
}

RunningCopy::~RunningCopy() = default;

RunningCopy::Outcome RunningCopy::start(const QList<QByteArray>& paths, int answerMs)
{
    if (m_socketPath.isEmpty())
        return Outcome::Alone;
    // Two starts at one moment decide one after the other.
    QLockFile lock(m_socketPath + QStringLiteral(".lock"));
    lock.tryLock(5000);
    if (sendTo(paths, answerMs))
        return Outcome::HandedOver;
    // A socket left by a copy that did not end normally answers nobody.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) {
        delete m_server;
        m_server = nullptr;
        return Outcome::Alone;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            receive(socket); // what arrived before the connection was taken
        }
    });
    return Outcome::First;
}

bool RunningCopy::sendTo(const QList<QByteArray>& paths, int answerMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(1000))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << kMagic << paths;
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(answerMs))
            return socket.state() == QLocalSocket::ConnectedState;
    }
    // Written: the running copy reads it once it is free, even after this copy ends.
    QByteArray receipt;
    while (receipt.size() < kReceipt.size() && socket.waitForReadyRead(answerMs))
        receipt += socket.readAll();
    m_answered = receipt.startsWith(kReceipt);
    return true;
}

void RunningCopy::receive(QLocalSocket* socket)
{
    QDataStream in(socket);
    in.startTransaction();
    quint32 magic = 0;
    QList<QByteArray> paths;
    in >> magic >> paths;
    if (!in.commitTransaction())
        return; // not all there yet
    if (magic != kMagic) {
        socket->abort();
        return;
    }
    socket->write(kReceipt);
    socket->flush();
    Q_EMIT handedOver(paths);
}

} // namespace platform
