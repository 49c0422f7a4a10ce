#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The line under the serial control: a device opened by path at 9600 baud, 8 data bits, no
// parity, 1 stop bit, no flow control, with its data terminal ready raised. The program uses the
// system's serial port (QSerialPortTransport); tests play the modem through a scripted one.
class SerialTransport : public QObject {
    Q_OBJECT
public:
    // Why an open failed, or what went wrong on an open line.
    enum class ErrorKind {
        None,
        NotFound,   // no device by that path
        Permission, // refused: no right to the device, or another program holds it exclusively
        Busy,       // already open here
        Unreadable, // the device is gone: it can no longer be read
        Unwritable, // the device is gone: it takes no more writing
        Unplugged,  // the device is gone: unplugged or stopped working
        Other,
    };
    Q_ENUM(ErrorKind)

    // The kinds after which the open device is of no more use.
    static bool meansDeviceGone(ErrorKind kind) {
        return kind == ErrorKind::Unreadable || kind == ErrorKind::Unwritable || kind == ErrorKind::Unplugged;
    }

    using QObject::QObject;

    // Whether the paths opened here are this system's device files, which other programs lock
    // through lock files and whose permissions decide who may open them. The control checks both
    // only for such a transport; a scripted line has no device file.
    virtual bool usesDeviceFiles() const = 0;

    // Opens `devicePath` for reading and writing. On failure error() and errorString() tell why.
    virtual bool open(const QString& devicePath) = 0;
    // Hands what output has queued to the driver, then closes. Raises no error while closing: a
    // device that is gone fails its last flush, and that is no fresh loss.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Writes all of `bytes` in one operation and hands them to the driver without waiting for
    // them to be sent. False when the line takes no more.
    virtual bool write(const QByteArray& bytes) = 0;
    // Everything received and not yet read.
    virtual QByteArray readAll() = 0;
    // Drops everything received and not yet read, also what the driver holds.
    virtual void discardInput() = 0;

    virtual ErrorKind error() const = 0;
    virtual QString errorString() const = 0;

signals:
    // Bytes arrived; raised from the event loop.
    void readyRead();
    // Something went wrong; for an open line, meansDeviceGone(kind) tells whether it is lost.
    void errorOccurred(SerialTransport::ErrorKind kind, const QString& text);
};
