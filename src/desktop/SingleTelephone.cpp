#include "desktop/SingleTelephone.h"

#include "desktop/HandOverMessage.h"
#include "modem/Waiter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Between attempts while another start is becoming the telephone or the telephone is closing.
constexpr double RetrySeconds = 0.1;
// A peer that connects and does not finish its message in this time is dropped.
constexpr double PeerSeconds = 5;

bool isPrivateFolder(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

// The socket's peer runs as this user. The folder's mode already keeps others out; this holds
// even where the folder was made by hand.
bool peerIsThisUser(const QLocalSocket& socket) {
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    return ::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &size) ==
               0 &&
           credentials.uid == ::getuid();
}

} // namespace

SingleTelephone::SingleTelephone(const QString& settingsPath, Waiter& waiter, QObject* parent)
    : QObject(parent)
    , m_waiter(waiter)
    , m_settingsPath(settingsPath) {}

SingleTelephone::~SingleTelephone() {
    stopListening();
}

QString SingleTelephone::privateFolder(QString* problem) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime)) {
        return runtime;
    }
    const QString fallback = QDir::tempPath() + QStringLiteral("/brisvane-%1").arg(::getuid());
    if (::mkdir(QFile::encodeName(fallback).constData(), 0700) != 0 && errno != EEXIST) {
        *problem =
            QStringLiteral("cannot make the folder %1: %2").arg(fallback, QString::fromLocal8Bit(strerror(errno)));
        return QString();
    }
    if (!isPrivateFolder(fallback)) {
        *problem = QStringLiteral("%1 is not a folder of this user's alone").arg(fallback);
        return QString();
    }
    return fallback;
}

QString SingleTelephone::socketName(const QString& settingsPath) {
    const QByteArray path = QFile::encodeName(QFileInfo(settingsPath).absoluteFilePath());
    return QStringLiteral("brisvane-%1")
        .arg(QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(16)));
}

SingleTelephone::Start SingleTelephone::start(const QStringList& arguments, const Activation& activation,
                                              double maxSeconds) {
    const QString folder = privateFolder(&m_problem);
    if (folder.isEmpty()) {
        return Start::NoFolder;
    }
    const QString base = folder + QLatin1Char('/') + socketName(m_settingsPath);
    m_socketPath = base + QStringLiteral(".socket");
    m_lock = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
    // Held for the whole run: only a lock whose process has gone is stale, however old it is.
    m_lock->setStaleLockTime(0);
    m_message = HandOverMessage::encode(arguments, activation);
    m_decided = false;
    m_result = Start::NoAnswer;
    attempt();
    m_waiter.waitUntil([this] { return m_decided; }, maxSeconds);
    m_decided = true; // an attempt still under way ends here
    if (m_result == Start::HandedOver) {
        Activation::clearEnvironment();
    }
    return m_result;
}

void SingleTelephone::attempt() {
    if (m_decided) {
        return;
    }
    auto* socket = new QLocalSocket(this);
    const auto retry = [this, socket] {
        socket->deleteLater();
        if (m_decided) {
            return;
        }
        if (m_lock->tryLock(0)) {
            becomeTelephone();
        } else {
            m_waiter.after(RetrySeconds, this, [this] { attempt(); });
        }
    };
    connect(socket, &QLocalSocket::connected, socket, [socket, this] { socket->write(m_message); });
    connect(socket, &QLocalSocket::readyRead, socket, [socket, this] {
        if (socket->bytesAvailable() >= HandOverMessage::Acknowledgement.size()) {
            if (socket->readAll().startsWith(HandOverMessage::Acknowledgement) && !m_decided) {
                m_result = Start::HandedOver;
                m_decided = true;
            }
            socket->disconnect();
            socket->abort();
            socket->deleteLater();
        }
    });
    // Refused or gone before the acknowledgement: no telephone listens (yet, or any more).
    connect(socket, &QLocalSocket::errorOccurred, socket, [socket, retry] {
        socket->disconnect();
        retry();
    });
    socket->connectToServer(m_socketPath);
}

void SingleTelephone::becomeTelephone() {
    m_decided = true;
    m_result = Start::First;
    // What the file holds is left over from a telephone that is gone: the lock was free.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleTelephone::accept);
    if (!m_server->listen(m_socketPath)) {
        m_problem = QStringLiteral("cannot listen on %1: %2").arg(m_socketPath, m_server->errorString());
        delete m_server;
        m_server = nullptr;
    }
}

void SingleTelephone::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsThisUser(*socket)) {
            socket->abort();
            continue;
        }
        auto reader = std::make_shared<HandOverMessage::Reader>();
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket, reader] {
            switch (reader->feed(socket->readAll())) {
            case HandOverMessage::Reader::Status::More:
                return;
            case HandOverMessage::Reader::Status::Bad:
                socket->abort();
                return;
            case HandOverMessage::Reader::Status::Complete:
                socket->write(HandOverMessage::Acknowledgement);
                socket->disconnectFromServer();
                // From the event loop: what the telephone does with them (a message box) must not
                // hold up this socket's handling.
                QTimer::singleShot(0, this, [this, arguments = reader->arguments(), activation = reader->activation()] {
                    emit argumentsReceived(arguments, activation);
                });
                return;
            }
        });
        m_waiter.after(PeerSeconds, socket, [socket] { socket->abort(); });
    }
}

void SingleTelephone::stopListening() {
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}
