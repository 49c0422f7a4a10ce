#include "vmodem/CommandRunner.h"

#include "vmodem/DriverCommand.h"
#include "vmodem/VirtualModem.h"

#include <QSocketNotifier>
#include <cerrno>
#include <unistd.h>

CommandRunner::CommandRunner(VirtualModem& modem, const QString& source, QObject* parent)
    : QObject(parent)
    , m_modem(modem)
    , m_source(source) {
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, &CommandRunner::runPending);
}

void CommandRunner::readFrom(int fd) {
    m_fd = fd;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CommandRunner::readDescriptor);
}

void CommandRunner::readDescriptor() {
    char buffer[4096];
    ssize_t n = 0;
    do {
        n = ::read(m_fd, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        addText(QByteArray(buffer, n));
        return;
    }
    if (n < 0 && errno == EAGAIN) {
        return;
    }
    m_notifier->setEnabled(false);
    endOfInput();
}

void CommandRunner::addText(const QByteArray& text) {
    m_partial += text;
    qsizetype newline = 0;
    while ((newline = m_partial.indexOf('\n')) >= 0) {
        m_lines.append(QString::fromUtf8(m_partial.left(newline)));
        m_partial.remove(0, newline + 1);
    }
    runPending();
}

void CommandRunner::endOfInput() {
    if (m_ended) {
        return;
    }
    if (!m_partial.isEmpty()) {
        m_lines.append(QString::fromUtf8(std::exchange(m_partial, {})));
    }
    m_ended = true;
    runPending();
}

void CommandRunner::runPending() {
    while (!m_wait.isActive() && !m_quit && !m_lines.isEmpty()) {
        ++m_lineNumber;
        const DriverCommand command = DriverCommand::parse(m_lines.takeFirst());
        QString why;
        bool done = true;
        switch (command.kind) {
        case DriverCommand::Kind::Nothing:
            break;
        case DriverCommand::Kind::Ring:
            done = m_modem.ring(command.caller, &why);
            break;
        case DriverCommand::Kind::StopRing:
            done = m_modem.stopRinging(&why);
            break;
        case DriverCommand::Kind::Answer:
            done = m_modem.farEndAnswers(&why);
            break;
        case DriverCommand::Kind::Busy:
            done = m_modem.farEndBusy(&why);
            break;
        case DriverCommand::Kind::NoAnswer:
            done = m_modem.farEndDoesNotAnswer(&why);
            break;
        case DriverCommand::Kind::HangUp:
            done = m_modem.farEndHangsUp(&why);
            break;
        case DriverCommand::Kind::Send:
            m_modem.sendRaw(command.bytes);
            break;
        case DriverCommand::Kind::Wait:
            m_wait.start(command.waitMs);
            break;
        case DriverCommand::Kind::Quit:
            m_quit = true;
            emit quitRequested();
            return;
        case DriverCommand::Kind::Invalid:
            done = false;
            why = command.error;
            break;
        }
        if (!done) {
            emit problem(QStringLiteral("%1:%2: %3").arg(m_source).arg(m_lineNumber).arg(why));
        }
    }
    if (m_ended && m_lines.isEmpty() && !m_wait.isActive() && !m_quit) {
        emit finished();
    }
}
