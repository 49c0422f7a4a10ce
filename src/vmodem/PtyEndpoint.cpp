#include "vmodem/PtyEndpoint.h"

#include "platform/PseudoTerminal.h"

#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyEndpoint::PtyEndpoint(QObject* parent)
    : QObject(parent) {}

PtyEndpoint::~PtyEndpoint() {
    close();
}

bool PtyEndpoint::open(QString* error) {
    close();
    const std::optional<PseudoTerminal::Ends> ends = PseudoTerminal::open();
    if (!ends) {
        *error = systemError("cannot create a pseudo-terminal");
        return false;
    }
    m_master = ends->master;
    m_slave = ends->slave;
    m_path = ends->path;
    m_masterNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_masterNotifier, &QSocketNotifier::activated, this, &PtyEndpoint::readMaster);

    // Our own descriptor was opened before the watch, so every event is the host's.
    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 && ::inotify_add_watch(m_watch, QFile::encodeName(m_path).constData(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(m_watch);
        m_watch = -1;
    }
    if (m_watch >= 0) {
        m_watchNotifier = new QSocketNotifier(m_watch, QSocketNotifier::Read, this);
        connect(m_watchNotifier, &QSocketNotifier::activated, this, &PtyEndpoint::readWatch);
    }
    return true;
}

void PtyEndpoint::close() {
    delete m_masterNotifier;
    m_masterNotifier = nullptr;
    delete m_watchNotifier;
    m_watchNotifier = nullptr;
    for (int* fd : {&m_master, &m_slave, &m_watch}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
    m_hostOpens = 0;
}

void PtyEndpoint::readMaster() {
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        break;
    }
    if (!bytes.isEmpty()) {
        emit received(bytes);
    }
}

void PtyEndpoint::readWatch() {
    const bool wasAttached = hostAttached();
    alignas(struct inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_watch, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        for (ssize_t at = 0; at < n;) {
            struct inotify_event event {};
            std::memcpy(&event, buffer + at, sizeof event);
            if (event.mask & IN_OPEN) {
                ++m_hostOpens;
            } else if ((event.mask & IN_CLOSE) && m_hostOpens > 0) {
                --m_hostOpens;
                if (m_hostOpens == 0) {
                    ::tcflush(m_slave, TCIFLUSH);
                }
            }
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + event.len);
        }
    }
    if (hostAttached() != wasAttached) {
        emit hostAttachedChanged(hostAttached());
    }
}

bool PtyEndpoint::write(const QByteArray& bytes) {
    if (m_master < 0) {
        return false;
    }
    if (!hostAttached()) {
        // The host may have opened the line a moment ago; its open may still be in the queue.
        readWatch();
        if (!hostAttached()) {
            return false;
        }
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}
