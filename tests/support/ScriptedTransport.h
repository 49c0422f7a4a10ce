#pragma once

#include "modem/SerialTransport.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

class Clock;

// A serial line whose far end the test plays: every write is recorded with the time on the
// test's clock, bytes fed as the modem are announced from the event loop as a serial port
// announces them, an open can be made to fail, and the device can vanish. No device file is
// involved, so any path opens.
class ScriptedTransport : public SerialTransport {
    Q_OBJECT
public:
    explicit ScriptedTransport(const Clock& clock, QObject* parent = nullptr);

    struct Write {
        double at;
        QByteArray bytes;
    };
    // Every write, in order.
    QList<Write> writes;
    // Everything written, as the modem received it.
    QByteArray written() const;
    // The paths of every successful open, in order.
    QStringList opened;

    // The next open fails with `kind`; `text` becomes errorString().
    void failNextOpen(ErrorKind kind, const QString& text = QStringLiteral("Scripted failure"));
    // Bytes from the modem. Fed while the line is closed, they wait for the next open, as bytes
    // wait in a terminal's driver.
    void feed(const QByteArray& bytes);
    // The device goes away: `kind` is raised now and again from the event loop, as a gone device
    // repeats its error; nothing more is read, and writes fail.
    void vanish(ErrorKind kind = ErrorKind::Unreadable);

    bool usesDeviceFiles() const override { return false; }
    bool open(const QString& devicePath) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void discardInput() override { m_pending.clear(); }
    ErrorKind error() const override { return m_error; }
    QString errorString() const override { return m_errorString; }

private:
    void announce();
    void fail(ErrorKind kind, const QString& text);

    const Clock& m_clock;
    bool m_open = false;
    bool m_vanished = false;
    QByteArray m_pending;
    ErrorKind m_nextOpenFailure = ErrorKind::None;
    QString m_nextOpenText;
    ErrorKind m_error = ErrorKind::None;
    QString m_errorString;
};
