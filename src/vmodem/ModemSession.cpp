#include "vmodem/ModemSession.h"

ModemSession::ModemSession(const ModemConfig& config, QObject* parent)
    : QObject(parent)
    , m_modem(config) {
    connect(&m_pty, &PtyEndpoint::received, this, &ModemSession::fromHost);
    connect(&m_modem, &VirtualModem::transmitted, this, &ModemSession::toHost);
    connect(&m_modem, &VirtualModem::noted, &m_log, &TrafficLog::note);
    connect(&m_pty, &PtyEndpoint::hostAttachedChanged, this, [this](bool attached) {
        m_log.note(attached ? QStringLiteral("the host opened the line") : QStringLiteral("the host closed the line"));
        emit hostAttachedChanged(attached);
    });
}

bool ModemSession::start(const QString& linkPath, const QString& capturePath, QString* error) {
    if (!capturePath.isEmpty()) {
        m_capture.setFileName(capturePath);
        if (!m_capture.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            *error = QStringLiteral("cannot open the capture file %1: %2").arg(capturePath, m_capture.errorString());
            return false;
        }
    }
    if (!m_pty.open(error)) {
        return false;
    }
    return linkPath.isEmpty() || m_link.publish(linkPath, m_pty.path(), error);
}

void ModemSession::fromHost(const QByteArray& bytes) {
    if (m_capture.isOpen()) {
        m_capture.write(bytes);
    }
    m_log.hostSent(bytes);
    m_modem.receive(bytes);
}

void ModemSession::toHost(const QByteArray& bytes) {
    m_log.modemSent(bytes, m_pty.write(bytes));
}
