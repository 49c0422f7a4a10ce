#include "modem/SerialControl.h"

#include "modem/DeviceAccess.h"
#include "modem/DeviceHolders.h"
#include "modem/DeviceLock.h"
#include "modem/QSerialPortTransport.h"

#include <QFileInfo>
#include <unistd.h>
#include <utility>

namespace {

// The receive buffer keeps at most this much, dropping the oldest bytes: a modem answers in lines
// of a few dozen characters, so only a line spewing garbage (wrong speed, a device that is no
// modem) ever fills it, and that must not grow memory without end while nobody reads.
constexpr qsizetype MaxBuffered = 64 * 1024;

const QString DefaultLockDirectory = QStringLiteral("/var/lock");

// Why a device counts as gone, in the user's words. The port's own error text is no help here:
// after a hang-up it often names whatever error the system last reported ("File exists").
QString lossReason(SerialTransport::ErrorKind kind) {
    switch (kind) {
    case SerialTransport::ErrorKind::Unwritable:
        return QStringLiteral("it takes no more writing");
    case SerialTransport::ErrorKind::Unplugged:
        return QStringLiteral("it was unplugged or stopped working");
    default:
        return QStringLiteral("it can no longer be read");
    }
}

// How messages name a device: by the path the user gave, and the device behind it when that is
// a link.
QString shownNameOf(const QString& given, const QString& real) {
    return real.isEmpty() || real == given ? given : QStringLiteral("%1 (%2)").arg(given, real);
}

} // namespace

struct SerialControl::Private {
    SerialControl* q = nullptr;
    DeviceResolver resolver;
    SerialTransport* port = nullptr;
    QString lockDirectory = DefaultLockDirectory;
    int commPort = 1;
    int inputLen = 0;
    int commEvent = EventNone;
    QByteArray received;
    std::unique_ptr<DeviceLock> lock;
    // While open: the path the port was opened by, and how messages name the device.
    QString openedPath;
    QString shownName;
    // Counts openings and closings, so that a queued call made for one opening does nothing once
    // the port has closed since.
    quint64 session = 0;
    bool notificationPending = false;
    bool lossPending = false;

    QString resolvedPath() const;
    QString lockPathFor(const QString& devicePath) const;
    SerialError open();
    SerialError openFailure(const QString& realPath, const QString& name) const;
    QString accessRefusal(const QString& realPath, const QString& name) const;
    void close();
    void pull();
    void scheduleNotification();
    void portError(SerialTransport::ErrorKind kind);

    SerialError missing(const QString& name) const {
        return {ErrorNumber::InvalidPort, QStringLiteral("The serial device %1 does not exist.").arg(name)};
    }
    SerialError alreadyOpen(const QString& name) const {
        return {ErrorNumber::PortAlreadyOpen, QStringLiteral("The serial device %1 is already open.").arg(name)};
    }
    SerialError inUse(const QString& name, qint64 pid) const;
    SerialError notOpen() const {
        return {ErrorNumber::PortNotOpen, QStringLiteral("Port %1 is not open.").arg(commPort)};
    }
};

SerialControl::SerialControl(DeviceResolver resolver, QObject* parent)
    : SerialControl(std::move(resolver), std::make_unique<QSerialPortTransport>(), parent) {}

SerialControl::SerialControl(DeviceResolver resolver, std::unique_ptr<SerialTransport> transport, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->q = this;
    d->resolver = std::move(resolver);
    d->port = transport.release();
    d->port->setParent(this);
    connect(d->port, &SerialTransport::readyRead, this, [this] {
        d->pull();
        d->scheduleNotification();
    });
    connect(d->port, &SerialTransport::errorOccurred, this,
            [this](SerialTransport::ErrorKind kind) { d->portError(kind); });
}

SerialControl::~SerialControl() {
    d->close();
}

void SerialControl::setLockDirectory(const QString& path) {
    d->lockDirectory = path.isEmpty() ? DefaultLockDirectory : path;
}

QString SerialControl::lockDirectory() const {
    return d->lockDirectory;
}

SerialError SerialControl::setCommPort(int portNumber) {
    if (portNumber < 1) {
        return {ErrorNumber::InvalidPort,
                QStringLiteral("%1 is not a port number: ports are numbered from 1.").arg(portNumber)};
    }
    if (portOpen() && portNumber != d->commPort) {
        return {ErrorNumber::PortAlreadyOpen,
                QStringLiteral("Port %1 cannot be chosen while port %2 (%3) is open.")
                    .arg(QString::number(portNumber), QString::number(d->commPort), d->shownName)};
    }
    d->commPort = portNumber;
    return {};
}

int SerialControl::commPort() const {
    return d->commPort;
}

bool SerialControl::portOpen() const {
    return d->port->isOpen();
}

SerialError SerialControl::setPortOpen(bool open) {
    if (!open) {
        d->close();
        return {};
    }
    if (portOpen()) {
        return d->alreadyOpen(d->shownName);
    }
    return d->open();
}

QString SerialControl::devicePath() const {
    return portOpen() ? d->openedPath : d->resolvedPath();
}

SerialError SerialControl::setInputLen(int length) {
    if (length < 0) {
        return {ErrorNumber::InvalidValue, QStringLiteral("InputLen cannot be negative (%1).").arg(length)};
    }
    d->inputLen = length;
    return {};
}

int SerialControl::inputLen() const {
    return d->inputLen;
}

SerialError SerialControl::setInBufferCount(int count) {
    if (!portOpen()) {
        return d->notOpen();
    }
    if (count != 0) {
        return {ErrorNumber::InvalidValue,
                QStringLiteral("The receive buffer can only be emptied (InBufferCount 0), not set to %1.").arg(count)};
    }
    // Ours and the line's: what arrives afterwards is all that counts.
    d->received.clear();
    d->port->discardInput();
    return {};
}

int SerialControl::inBufferCount() const {
    d->pull();
    return static_cast<int>(d->received.size());
}

SerialError SerialControl::output(const QByteArray& bytes) {
    if (!portOpen()) {
        return d->notOpen();
    }
    // One write of the whole text, so a command line never reaches the modem in pieces with
    // something else between them.
    if (!d->port->write(bytes)) {
        return {ErrorNumber::DeviceLost,
                QStringLiteral("Writing to the serial device %1 failed: %2").arg(d->shownName, d->port->errorString())};
    }
    emit bytesWritten(bytes);
    return {};
}

QByteArray SerialControl::input() {
    d->pull();
    if (d->inputLen > 0 && d->inputLen < d->received.size()) {
        QByteArray head = d->received.left(d->inputLen);
        d->received.remove(0, d->inputLen);
        return head;
    }
    return std::exchange(d->received, QByteArray());
}

int SerialControl::commEvent() const {
    return d->commEvent;
}

QString SerialControl::realDevicePath() const {
    const QString given = devicePath();
    const QString real = d->port->usesDeviceFiles() ? QFileInfo(given).canonicalFilePath() : QString();
    return real.isEmpty() ? given : real;
}

SerialError SerialControl::heldError() const {
    const QString given = d->resolvedPath();
    const QString real = realDevicePath();
    const QString name = shownNameOf(given, real);
    qint64 pid = 0;
    if (d->port->usesDeviceFiles()) {
        for (const QString& device : {real, given}) {
            if (pid == 0) {
                pid = DeviceLock::inspect(d->lockPathFor(device)).pid;
            }
        }
        if (pid == 0) {
            pid = DeviceHolders::openedBy(real);
        }
    }
    return d->inUse(name, pid);
}

QString SerialControl::Private::resolvedPath() const {
    QString path = resolver ? resolver(commPort) : QStringLiteral("/dev/ttyS%1").arg(commPort - 1);
    // A bare name such as "ttyUSB0" means the device of that name, as the serial port reads it.
    if (!path.isEmpty() && !path.contains(QLatin1Char('/'))) {
        path.prepend(QStringLiteral("/dev/"));
    }
    return path;
}

QString SerialControl::Private::lockPathFor(const QString& devicePath) const {
    return lockDirectory + QLatin1Char('/') + DeviceLock::fileNameFor(devicePath);
}

SerialError SerialControl::Private::inUse(const QString& name, qint64 pid) const {
    if (pid == ::getpid()) {
        return {ErrorNumber::PortAlreadyOpen,
                QStringLiteral("The serial device %1 is already in use by this program (process %2).")
                    .arg(name, QString::number(pid))};
    }
    if (pid > 0) {
        const QString program = DeviceHolders::programName(pid);
        const QString holder = program.isEmpty()
                                   ? QStringLiteral("another program (process %1)").arg(pid)
                                   : QStringLiteral("another program, \"%1\" (process %2)").arg(program).arg(pid);
        return {ErrorNumber::PortAlreadyOpen,
                QStringLiteral("The serial device %1 is in use by %2. Close that program, or choose another port in "
                               "Setup.")
                    .arg(name, holder)};
    }
    return {ErrorNumber::PortAlreadyOpen,
            QStringLiteral("The serial device %1 is in use by another program. Close that program, or choose another "
                           "port in Setup.")
                .arg(name)};
}

SerialError SerialControl::Private::open() {
    const QString given = resolvedPath();
    if (given.isEmpty()) {
        return {ErrorNumber::InvalidPort, QStringLiteral("No serial device is set for port %1.").arg(commPort)};
    }
    const bool deviceFiles = port->usesDeviceFiles();
    // A /dev/serial/by-id name is a link; the device behind it is what other programs lock.
    const QString real = deviceFiles ? QFileInfo(given).canonicalFilePath() : given;
    const QString name = shownNameOf(given, real);
    if (real.isEmpty()) {
        return missing(name);
    }
    if (const QString refusal = accessRefusal(real, name); !refusal.isEmpty()) {
        return {ErrorNumber::InvalidPort, refusal};
    }
    // Before the port's own open: the serial port ignores other programs' locks and, once such a
    // lock is 30 seconds old, deletes it as unreadable and opens the device anyway.
    for (const QString& device : deviceFiles ? QStringList{real, given} : QStringList()) {
        if (const DeviceLock::Holder holder = DeviceLock::inspect(lockPathFor(device)); holder.held) {
            return inUse(name, holder.pid);
        }
    }
    if (!port->open(real)) {
        return openFailure(real, name);
    }
    openedPath = given;
    shownName = name;
    ++session;
    if (!deviceFiles) {
        return {};
    }

    DeviceLock::Holder holder;
    lock = DeviceLock::take(lockPathFor(real), &holder);
    if (holder.held) {
        // Another program locked the device between our look and our open.
        close();
        return inUse(name, holder.pid);
    }
    return {};
}

// Empty when the user may use the device, or when the line has no device file to ask about.
QString SerialControl::Private::accessRefusal(const QString& realPath, const QString& name) const {
    return port->usesDeviceFiles() ? DeviceAccess::refusalForCurrentUser(realPath, name) : QString();
}

SerialError SerialControl::Private::openFailure(const QString& realPath, const QString& name) const {
    switch (port->error()) {
    case SerialTransport::ErrorKind::NotFound:
        return missing(name);
    case SerialTransport::ErrorKind::Permission:
        // The port says the same for a device the user may not open and for one that is locked or
        // held exclusively by another program.
        if (const QString refusal = accessRefusal(realPath, name); !refusal.isEmpty()) {
            return {ErrorNumber::InvalidPort, refusal};
        }
        return inUse(name, 0);
    case SerialTransport::ErrorKind::Busy:
        return alreadyOpen(name);
    default:
        break;
    }
    return {ErrorNumber::InvalidPort,
            QStringLiteral("The serial device %1 could not be opened: %2").arg(name, port->errorString())};
}

void SerialControl::Private::close() {
    // Whatever is still queued goes to the driver; a device that is gone fails while it closes,
    // and the line reports no fresh loss for that.
    port->close();
    // After the port: when the folders agree, the port's own lock is this very file, and it
    // expects to remove it itself.
    lock.reset();
    received.clear();
    openedPath.clear();
    notificationPending = false;
    lossPending = false;
    ++session;
}

void SerialControl::Private::pull() {
    if (!port->isOpen()) {
        return;
    }
    received.append(port->readAll());
    if (received.size() > MaxBuffered) {
        received.remove(0, received.size() - MaxBuffered);
    }
}

void SerialControl::Private::scheduleNotification() {
    if (notificationPending || received.isEmpty()) {
        return;
    }
    notificationPending = true;
    // Raised from the event loop, not from inside the port's readyRead: the handler waits, and
    // the port raises no readyRead for bytes that arrive while one of its readyRead handlers runs.
    QMetaObject::invokeMethod(
        q,
        [this, opening = session] {
            if (opening != session) {
                return; // the port closed since; this notification belonged to it
            }
            notificationPending = false;
            // Bytes discarded or read meanwhile leave nothing to announce.
            if (received.isEmpty()) {
                return;
            }
            commEvent = EventReceive;
            emit q->onComm();
        },
        Qt::QueuedConnection);
}

void SerialControl::Private::portError(SerialTransport::ErrorKind kind) {
    if (lossPending || !port->isOpen() || !SerialTransport::meansDeviceGone(kind)) {
        return;
    }
    // A vanished device repeats this error for ever; the first one closes the port. That happens
    // from a queued call: the port raises the error from inside its own read and write handling,
    // which must not find itself closed when it returns, and the receiver shows a modal message.
    lossPending = true;
    const SerialError lost{ErrorNumber::DeviceLost,
                           QStringLiteral("The serial device %1 went away (%2).").arg(shownName, lossReason(kind))};
    QMetaObject::invokeMethod(
        q,
        [this, opening = session, lost] {
            if (opening != session) {
                return; // closed on purpose meanwhile: nothing to report
            }
            close();
            emit q->deviceLost(lost);
        },
        Qt::QueuedConnection);
}
