#pragma once

#include "modem/SerialTransport.h"

class QSerialPort;

// The program's line: the system's serial port.
class QSerialPortTransport : public SerialTransport {
    Q_OBJECT
public:
    explicit QSerialPortTransport(QObject* parent = nullptr);

    bool usesDeviceFiles() const override { return true; }
    bool open(const QString& devicePath) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void discardInput() override;
    ErrorKind error() const override;
    QString errorString() const override;

private:
    QSerialPort* m_port;
};
