#include "setup/SerialDevices.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>

namespace SerialDevices {

namespace {

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

QString describeReported(const Reported& port) {
    QStringList parts;
    if (!port.description.trimmed().isEmpty()) {
        parts << port.description.trimmed();
    }
    const QString maker = port.manufacturer.trimmed();
    if (!maker.isEmpty() && !port.description.contains(maker, Qt::CaseInsensitive)) {
        parts << maker;
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

QList<SerialDevice> present(const QString& byIdFolder) {
    QList<Reported> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.append({info.systemLocation(), info.description(), info.manufacturer()});
    }
    return describe(ports, byIdFolder);
}

QList<SerialDevice> describe(const QList<Reported>& ports, const QString& byIdFolder) {
    QList<SerialDevice> devices;
    for (const Reported& port : ports) {
        devices.append({port.systemLocation, QString(), describeReported(port)});
    }
    // Links sorted by name, so a device with several (one per USB interface) gets the same one
    // every time.
    const QFileInfoList links =
        QDir(byIdFolder).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        if (!link.isSymLink() || !link.exists()) {
            continue; // not a link, or a link to a device that has gone
        }
        const QString target = link.canonicalFilePath();
        auto device = std::find_if(devices.begin(), devices.end(),
                                   [&](const SerialDevice& d) { return canonical(d.path) == target; });
        if (device == devices.end()) {
            devices.append({target, link.absoluteFilePath(), QString()});
        } else if (device->stablePath.isEmpty()) {
            device->stablePath = link.absoluteFilePath();
        }
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.path < b.path; });
    return devices;
}

QList<Choice> choices(const QList<SerialDevice>& devices) {
    QList<Choice> result;
    const auto labelled = [](const QString& path, const QStringList& notes) {
        return notes.isEmpty() ? path
                               : path + QStringLiteral("  (") + notes.join(QStringLiteral(", ")) + QLatin1Char(')');
    };
    for (const SerialDevice& device : devices) {
        QStringList notes;
        if (!device.description.isEmpty()) {
            notes << device.description;
        }
        if (!device.stablePath.isEmpty()) {
            result.append({device.stablePath, labelled(device.stablePath, notes + QStringList{device.path})});
        }
        result.append({device.path, labelled(device.path, notes)});
    }
    return result;
}

} // namespace SerialDevices
