#include "modem/QSerialPortTransport.h"

#include <QSerialPort>
#include <QSignalBlocker>

namespace {

SerialTransport::ErrorKind kindOf(QSerialPort::SerialPortError error) {
    using Kind = SerialTransport::ErrorKind;
    switch (error) {
    case QSerialPort::NoError:
        return Kind::None;
    case QSerialPort::DeviceNotFoundError:
        return Kind::NotFound;
    case QSerialPort::PermissionError:
        return Kind::Permission;
    case QSerialPort::OpenError:
        return Kind::Busy;
    case QSerialPort::ReadError:
        return Kind::Unreadable;
    case QSerialPort::WriteError:
        return Kind::Unwritable;
    case QSerialPort::ResourceError:
        return Kind::Unplugged;
    default:
        return Kind::Other;
    }
}

} // namespace

QSerialPortTransport::QSerialPortTransport(QObject* parent)
    : SerialTransport(parent)
    , m_port(new QSerialPort(this)) {
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    connect(m_port, &QSerialPort::readyRead, this, &SerialTransport::readyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error != QSerialPort::NoError) {
            emit errorOccurred(kindOf(error), m_port->errorString());
        }
    });
}

bool QSerialPortTransport::open(const QString& devicePath) {
    m_port->setPortName(devicePath);
    if (!m_port->open(QIODevice::ReadWrite)) {
        return false;
    }
    m_port->setDataTerminalReady(true);
    return true;
}

void QSerialPortTransport::close() {
    if (!m_port->isOpen()) {
        return;
    }
    const QSignalBlocker blocker(m_port);
    m_port->flush();
    m_port->close();
}

bool QSerialPortTransport::isOpen() const {
    return m_port->isOpen();
}

bool QSerialPortTransport::write(const QByteArray& bytes) {
    if (m_port->write(bytes) != bytes.size()) {
        return false;
    }
    // Now, without waiting: the bytes are on their way even if the port closes before events run.
    m_port->flush();
    return true;
}

QByteArray QSerialPortTransport::readAll() {
    return m_port->isOpen() && m_port->bytesAvailable() > 0 ? m_port->readAll() : QByteArray();
}

void QSerialPortTransport::discardInput() {
    // The port's own buffer, and what the driver holds and the port has not read yet.
    m_port->readAll();
    m_port->clear(QSerialPort::Input);
}

SerialTransport::ErrorKind QSerialPortTransport::error() const {
    return kindOf(m_port->error());
}

QString QSerialPortTransport::errorString() const {
    return m_port->errorString();
}
