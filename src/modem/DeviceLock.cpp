#include "modem/DeviceLock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

// Enough for any id line; a lock file is never large, and a huge one must not be read whole.
constexpr qint64 HeadBytes = 64;

QByteArray readHead(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(HeadBytes) : QByteArray();
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool processRuns(qint64 pid) {
    if (pid <= 0 || pid > INT_MAX) {
        return false;
    }
    // EPERM: the process exists but belongs to someone else, which is the usual case for a lock
    // of mgetty or a caller-ID daemon.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

qint64 ageMs(const QString& path) {
    const QDateTime modified = QFileInfo(path).lastModified();
    // Taken both ways, as a file stamped in the future (a clock set back) must not count as fresh
    // for ever.
    return qAbs(modified.msecsTo(QDateTime::currentDateTimeUtc()));
}

QByteArray ownContent() {
    // sprintf("%10d\n", pid)
    return QByteArray::number(::getpid()).rightJustified(10, ' ') + '\n';
}

bool writeAt(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done), done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    // Cuts off whatever was longer in the file before (Qt's lock holds more lines than ours).
    return ::ftruncate(fd, bytes.size()) == 0;
}

} // namespace

DeviceLock::DeviceLock(QString path)
    : m_path(std::move(path)) {}

DeviceLock::~DeviceLock() {
    if (pidFromContent(readHead(m_path)) == ::getpid()) {
        QFile::remove(m_path);
    }
}

QString DeviceLock::fileNameFor(const QString& devicePath) {
    static const QString dev = QStringLiteral("/dev/");
    QString name = devicePath.startsWith(dev) ? devicePath.mid(dev.size()) : devicePath;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

qint64 DeviceLock::pidFromContent(const QByteArray& content) {
    if (content.size() == 4 && content.contains('\0')) {
        qint32 pid = 0;
        std::memcpy(&pid, content.constData(), sizeof pid);
        return pid > 0 ? pid : 0;
    }
    qsizetype i = 0;
    while (i < content.size() && isBlank(content.at(i))) {
        ++i;
    }
    const qsizetype start = i;
    while (i < content.size() && content.at(i) >= '0' && content.at(i) <= '9') {
        ++i;
    }
    const qsizetype digits = i - start;
    const bool endsThere =
        i == content.size() || isBlank(content.at(i)) || content.at(i) == '\n' || content.at(i) == '\r';
    if (digits == 0 || digits > 10 || !endsThere) {
        return 0;
    }
    const qint64 pid = content.mid(start, digits).toLongLong();
    return pid <= INT_MAX ? pid : 0;
}

DeviceLock::Holder DeviceLock::inspect(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return {};
    }
    const qint64 pid = pidFromContent(readHead(path));
    if (pid > 0 && (pid == ::getpid() || processRuns(pid))) {
        return {true, pid};
    }
    if (pid == 0 && ageMs(path) < UnreadableGraceMs) {
        return {true, 0};
    }
    QFile::remove(path);
    return {};
}

std::unique_ptr<DeviceLock> DeviceLock::take(const QString& path, Holder* heldBy) {
    *heldBy = {};
    const QByteArray name = QFile::encodeName(path);
    const QByteArray content = ownContent();
    // A second round only after a stale lock was removed; if another program took the name in
    // between, its lock is respected.
    for (int round = 0; round < 2; ++round) {
        int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        const bool created = fd >= 0;
        if (!created && errno != EEXIST) {
            return nullptr; // the folder is missing, read-only or not ours to write
        }
        if (!created && pidFromContent(readHead(path)) == ::getpid()) {
            // Rewritten in place, not replaced: Qt's serial port keeps a lock on this very file, so
            // no other Qt program can remove it as stale while we hold the device.
            fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
            if (fd < 0) {
                return nullptr;
            }
        }
        if (fd >= 0) {
            const bool written = writeAt(fd, content);
            ::close(fd);
            if (!written) {
                if (created) {
                    QFile::remove(path);
                }
                return nullptr;
            }
            return std::unique_ptr<DeviceLock>(new DeviceLock(path));
        }
        *heldBy = inspect(path);
        if (heldBy->held) {
            return nullptr;
        }
    }
    return nullptr;
}
