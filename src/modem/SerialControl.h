#pragma once

#include "modem/SerialError.h"
#include "modem/SerialTransport.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// The program's one serial port control (`comModem`): port selection, open and close, output of
// a command line, reading and discarding what the modem sent, and a receive notification with an
// event code. 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control.
//
// Port numbers map to device paths through a resolver (the settings store's "Ports" group). The
// line itself is a SerialTransport: the system's serial port, or a scripted one in tests. Links,
// permissions and lock files are looked at only when the transport's paths are device files.
//
// Locking: the control honours the UUCP lock files that other serial programs (minicom, mgetty,
// caller-ID daemons, another Brisvane) write in the lock folder, under the real device's name
// (a /dev/serial/by-id or other symbolic link is resolved) and under the name the user gave: a
// lock of a live process refuses the open with 8005, a lock of a dead one is stale and removed.
// A lock whose content names no process counts as held for 30 seconds after it was written (its
// writer may not have filled it yet) and as stale after that (see DeviceLock). While it holds the
// port it keeps a lock of its own there in the same form (the process id as ten right-aligned
// characters and a newline), and removes it on close and at destruction. A lock folder that takes
// no file does not stop the open: the port is then opened without a lock of ours.
//
// Receive notification: `onComm` is raised from a queued call, never from inside the serial
// port's own readyRead, so a handler may wait (letting events run) and further notifications are
// raised, nested, for bytes that arrive during its wait. At most one notification is pending at a
// time, and one that finds nothing left to read (discarded or read meanwhile) is not raised. The
// receive buffer keeps the newest 64 KiB of what nobody has read.
//
// A device that vanishes while open (USB modem unplugged, far end of a pseudo-terminal closed)
// closes the port and is reported once through `deviceLost`, with error 8020.
class SerialControl : public QObject {
    Q_OBJECT
public:
    // The event codes of `commEvent()`.
    enum CommEvent { EventNone = 0, EventReceive = 2 };

    using DeviceResolver = std::function<QString(int portNumber)>;

    // Over the system's serial port.
    explicit SerialControl(DeviceResolver resolver, QObject* parent = nullptr);
    // Over `transport`, which the control keeps.
    SerialControl(DeviceResolver resolver, std::unique_ptr<SerialTransport> transport, QObject* parent = nullptr);
    ~SerialControl() override;

    // Lock files live here (default /var/lock, also for an empty path); tests point it at a folder
    // of their own.
    void setLockDirectory(const QString& path);
    QString lockDirectory() const;

    // `CommPort`: selects the port the next open uses. 8002 for a number below 1; 8005 when a
    // different port is chosen while one is open.
    SerialError setCommPort(int portNumber);
    int commPort() const;

    // `PortOpen`. Opening: 8002 when the device does not exist or the user may not use it (the
    // description then names the group the account must be in, usually "dialout"); 8005 when
    // another program holds it, and when this control has it open already. Closing never fails;
    // what output has queued is handed to the driver first.
    bool portOpen() const;
    SerialError setPortOpen(bool open);

    // The device path in use (or that the next open will use), for messages. A bare name from the
    // resolver ("ttyUSB0") means the device of that name in /dev.
    QString devicePath() const;
    // The same with links resolved: the device itself (the path as it is when it cannot be).
    QString realDevicePath() const;

    // The 8005 of an open refused because another program holds the device, naming that program
    // as far as this user can see: the live process of a lock file, else a process of this user's
    // that has the device open. It looks through every process, so it is for telling the user,
    // not for every open.
    SerialError heldError() const;

    // `InputLen`: 0 means a read of `input()` returns everything received so far; n > 0 returns
    // at most n characters. 380 for a negative length.
    SerialError setInputLen(int length);
    int inputLen() const;

    // `InBufferCount`: setting it to 0 discards everything received and not yet read, also what
    // the driver holds. 8018 while the port is closed; 380 for any count but 0.
    SerialError setInBufferCount(int count);
    int inBufferCount() const;

    // `Output`: writes the bytes in one write operation and returns without waiting for them to
    // be sent. 8018 while the port is closed.
    SerialError output(const QByteArray& bytes);

    // `Input`: returns the received bytes (all of them with InputLen 0) and removes them.
    QByteArray input();

    // `CommEvent`: the code of the notification being raised (2 = characters received).
    int commEvent() const;

signals:
    // `OnComm`: read `commEvent()` for the reason.
    void onComm();
    // The open device went away; the port is already closed when this is emitted.
    void deviceLost(const SerialError& error);
    // Every byte written, in order (for logs and tests).
    void bytesWritten(const QByteArray& bytes);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
