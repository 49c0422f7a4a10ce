#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The modem's end of a pseudo-terminal. The host opens path() as its serial device.
//
// The endpoint keeps the device side open itself, so the line does not hang up when the host
// closes it, and the host can close and open it again as often as it likes. It watches the
// device for opens and closes (inotify) to know whether a host is listening: like a real serial
// line, what the modem says while nobody has the port open is lost, and what the host left
// unread when it closed is thrown away, so a host never opens the line to stale rings.
class PtyEndpoint : public QObject {
    Q_OBJECT
public:
    explicit PtyEndpoint(QObject* parent = nullptr);
    ~PtyEndpoint() override;

    bool open(QString* error);
    QString path() const { return m_path; }

    // Whether a host has the device open. Always true when opens cannot be watched.
    bool hostAttached() const { return m_watch < 0 || m_hostOpens > 0; }

    // Sends bytes to the host. False when they were not delivered (no host has the line open,
    // or the host has stopped reading and the line's buffer is full).
    bool write(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);
    void hostAttachedChanged(bool attached);

private:
    void readMaster();
    void readWatch();
    void close();

    int m_master = -1;
    int m_slave = -1;
    int m_watch = -1;
    int m_hostOpens = 0;
    QString m_path;
    QSocketNotifier* m_masterNotifier = nullptr;
    QSocketNotifier* m_watchNotifier = nullptr;
};
