#pragma once

#include "vmodem/ModemConfig.h"
#include "vmodem/PtyEndpoint.h"
#include "vmodem/PtyLink.h"
#include "vmodem/TrafficLog.h"
#include "vmodem/VirtualModem.h"

#include <QFile>
#include <QObject>

// The virtual modem on its pseudo-terminal: bytes from the host go to the modem (and to the
// capture file, raw, as they arrive), the modem's replies go back to the host, and the traffic
// log sees both ways.
class ModemSession : public QObject {
    Q_OBJECT
public:
    explicit ModemSession(const ModemConfig& config, QObject* parent = nullptr);

    // Creates the pseudo-terminal; `linkPath` and `capturePath` may be empty.
    bool start(const QString& linkPath, const QString& capturePath, QString* error);

    VirtualModem& modem() { return m_modem; }
    TrafficLog& log() { return m_log; }
    QString ptyPath() const { return m_pty.path(); }
    QString linkPath() const { return m_link.path(); }
    bool hostAttached() const { return m_pty.hostAttached(); }

signals:
    void hostAttachedChanged(bool attached);

private:
    void fromHost(const QByteArray& bytes);
    void toHost(const QByteArray& bytes);

    VirtualModem m_modem;
    TrafficLog m_log;
    PtyEndpoint m_pty;
    PtyLink m_link;
    QFile m_capture;
};
