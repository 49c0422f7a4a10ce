#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// A pseudo-terminal: the program under test opens `devicePath()` as its serial device, and the
// test plays the modem on the other end, reading exactly the bytes the program wrote.
class Pty : public QObject {
    Q_OBJECT
public:
    Pty();
    ~Pty() override;

    bool isValid() const { return m_master >= 0; }
    QString devicePath() const { return m_path; }

    // Every byte the program wrote so far (the test's end of the line).
    QByteArray received() const { return m_received; }
    void clearReceived() { m_received.clear(); }

    // Waits (running events) until received() holds `bytes` somewhere, or `timeoutMs` passes.
    bool waitForReceived(const QByteArray& bytes, int timeoutMs = 5000);
    // Waits until at least `count` bytes have arrived.
    bool waitForCount(qsizetype count, int timeoutMs = 5000);

    // Sends bytes to the program, as the modem would.
    void send(const QByteArray& bytes);

    // Closes our end: the device vanishes for the program.
    void closeMaster();

signals:
    void bytesArrived();

private:
    void readMaster();

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QByteArray m_received;
    QSocketNotifier* m_notifier = nullptr;
};
