#pragma once

#include <QList>
#include <QString>

// A serial device the user can choose for a port number.
struct SerialDevice {
    QString path;        // the device node, e.g. /dev/ttyACM0
    QString stablePath;  // its /dev/serial/by-id name, which survives a replug; empty when it has none
    QString description; // what the device says it is (USB product and maker); empty for a plain port
};

// The serial devices present on this machine. A USB modem can come back under another node
// name after a replug, so the stable name under /dev/serial/by-id is found for each device.
namespace SerialDevices {

// What the system reports about one port.
struct Reported {
    QString systemLocation;
    QString description;
    QString manufacturer;
};

inline const QString ByIdFolder = QStringLiteral("/dev/serial/by-id");

// The devices of this machine, sorted by path.
QList<SerialDevice> present(const QString& byIdFolder = ByIdFolder);

// Pairs the reported ports with the links of `byIdFolder` that lead to them. A link to a device
// that was not reported still names a serial device and is listed too; a link that leads nowhere
// is not.
QList<SerialDevice> describe(const QList<Reported>& ports, const QString& byIdFolder);

// One line of a list to choose a device from: the path to store and the text to show.
struct Choice {
    QString path;
    QString label;
};

// The paths a user can pick, each device's stable name first, each labelled with what the
// device is.
QList<Choice> choices(const QList<SerialDevice>& devices);

} // namespace SerialDevices
