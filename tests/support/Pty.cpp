#include "Pty.h"

#include "platform/PseudoTerminal.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTest>
#include <unistd.h>

Pty::Pty() {
    // The slave stays open on our side too, so the line does not hang up between the program's
    // opens and closes; the program opens it again by path.
    const std::optional<PseudoTerminal::Ends> ends = PseudoTerminal::open();
    if (!ends) {
        return;
    }
    m_master = ends->master;
    m_slave = ends->slave;
    m_path = ends->path;
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &Pty::readMaster);
}

Pty::~Pty() {
    closeMaster();
    if (m_slave >= 0) {
        ::close(m_slave);
    }
}

void Pty::readMaster() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        m_received.append(buffer, n);
    }
    emit bytesArrived();
}

bool Pty::waitForReceived(const QByteArray& bytes, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!m_received.contains(bytes)) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

bool Pty::waitForCount(qsizetype count, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (m_received.size() < count) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

void Pty::send(const QByteArray& bytes) {
    if (m_master >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size()));
    }
}

void Pty::closeMaster() {
    if (m_notifier) {
        m_notifier->setEnabled(false);
        delete m_notifier;
        m_notifier = nullptr;
    }
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
}
