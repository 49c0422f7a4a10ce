#pragma once

#include "modem/HeldDeviceAdvice.h"

#include <QList>
#include <QString>
#include <QStringList>

class Waiter;

// Asks ModemManager, the system service for mobile broadband modems, whether it has taken a
// serial device: it opens every freshly plugged USB modem that answers AT commands, and keeps the
// ones it takes. When it has taken the telephone's modem, the user is told so, with the udev rule
// that keeps it off this modem (its USB vendor and product IDs, read from sysfs).
//
// The question goes to the system bus (org.freedesktop.DBus.ObjectManager.GetManagedObjects on
// /org/freedesktop/ModemManager1) and never starts the service. No system bus, no ModemManager,
// no answer in time, or a device it does not list: no advice. ModemManager is never asked to let
// go of a device: that takes an administrator's password.
class ModemManagerAdvice : public HeldDeviceAdvice {
public:
    explicit ModemManagerAdvice(Waiter& waiter);

    // Waits for ModemManager's answer, letting events run, for at most a few seconds.
    QString adviceFor(const QString& devicePath) override;

    // What ModemManager says of one modem (org.freedesktop.ModemManager1.Modem).
    struct Modem {
        QString device; // sysfs path of the modem's device
        QStringList ports;
        QString primaryPort;
    };
    // The modem among `modems` that has the serial device `devicePath` as one of its ports.
    static const Modem* modemWith(const QList<Modem>& modems, const QString& devicePath);

    struct UsbIds {
        QString vendor;
        QString product;
    };
    // The USB vendor and product IDs of the device at the sysfs path `device`, or of the nearest
    // device above it that has them (a serial port is an interface of its USB device).
    static UsbIds usbIdsAt(const QString& device);

    // The message: what has happened and how to keep ModemManager off the modem.
    static QString advice(const QString& devicePath, const UsbIds& ids);

private:
    Waiter& m_waiter;
};
