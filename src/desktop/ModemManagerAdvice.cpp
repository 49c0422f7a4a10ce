#include "desktop/ModemManagerAdvice.h"

#include "desktop/ModemManagerObjects.h"
#include "modem/Waiter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using namespace ModemManagerObjects;

namespace {

const QString Service = QStringLiteral("org.freedesktop.ModemManager1");
const QString ModemInterface = QStringLiteral("org.freedesktop.ModemManager1.Modem");
// Far longer than a running service takes; one that hangs must not keep the message from the user.
constexpr int AnswerMilliseconds = 3000;

// The system bus when one runs; asking for it where there is none would only fail more slowly.
QDBusConnection systemBusIfRunning() {
    if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS") &&
        !QFileInfo::exists(QStringLiteral("/run/dbus/system_bus_socket"))) {
        return QDBusConnection(QStringLiteral("brisvane-no-system-bus"));
    }
    return QDBusConnection::systemBus();
}

QList<ModemManagerAdvice::Modem> modemsIn(const ManagedObjects& objects) {
    QList<ModemManagerAdvice::Modem> modems;
    for (const Interfaces& interfaces : objects) {
        const auto modem = interfaces.constFind(ModemInterface);
        if (modem == interfaces.constEnd()) {
            continue;
        }
        ModemManagerAdvice::Modem found;
        found.device = modem->value(QStringLiteral("Device")).toString();
        found.primaryPort = modem->value(QStringLiteral("PrimaryPort")).toString();
        const QVariant ports = modem->value(QStringLiteral("Ports"));
        if (ports.canConvert<QDBusArgument>()) {
            for (const Port& port : qdbus_cast<Ports>(ports.value<QDBusArgument>())) {
                found.ports << port.name;
            }
        }
        modems << found;
    }
    return modems;
}

// A USB ID as sysfs shows it: four hexadecimal digits. Anything else goes nowhere near a rule the
// user copies into the system's configuration.
QString readId(const QString& path) {
    static const QRegularExpression form(QStringLiteral("^[0-9a-f]{4}$"));
    QFile file(path);
    const QString id = file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.read(16)).trimmed() : QString();
    return form.match(id).hasMatch() ? id : QString();
}

} // namespace

ModemManagerAdvice::ModemManagerAdvice(Waiter& waiter)
    : m_waiter(waiter) {}

QString ModemManagerAdvice::adviceFor(const QString& devicePath) {
    // Here rather than at the start: a telephone whose modem opens never needs them.
    registerTypes();
    QDBusConnection bus = systemBusIfRunning();
    if (!bus.isConnected()) {
        return QString();
    }
    QDBusMessage question = QDBusMessage::createMethodCall(Service, QStringLiteral("/org/freedesktop/ModemManager1"),
                                                           QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                                           QStringLiteral("GetManagedObjects"));
    // A system without the service running must not have it started by the question.
    question.setAutoStartService(false);
    QDBusPendingCallWatcher answer(bus.asyncCall(question, AnswerMilliseconds));
    if (m_waiter.waitUntil([&answer] { return answer.isFinished(); }) != Waiter::Result::Done || answer.isError()) {
        return QString();
    }
    const QList<QVariant> arguments = answer.reply().arguments();
    if (arguments.isEmpty() || !arguments.first().canConvert<QDBusArgument>()) {
        return QString();
    }
    const QList<Modem> modems = modemsIn(qdbus_cast<ManagedObjects>(arguments.first().value<QDBusArgument>()));
    const Modem* modem = modemWith(modems, devicePath);
    if (!modem) {
        return QString();
    }
    UsbIds ids = usbIdsAt(modem->device);
    if (ids.vendor.isEmpty()) {
        const QString tty = QFileInfo(devicePath).fileName();
        ids = usbIdsAt(QFileInfo(QStringLiteral("/sys/class/tty/%1/device").arg(tty)).canonicalFilePath());
    }
    return advice(devicePath, ids);
}

const ModemManagerAdvice::Modem* ModemManagerAdvice::modemWith(const QList<Modem>& modems, const QString& devicePath) {
    // ModemManager names ports as the kernel does: "ttyACM0" for /dev/ttyACM0.
    static const QString dev = QStringLiteral("/dev/");
    const QString name = devicePath.startsWith(dev) ? devicePath.mid(dev.size()) : devicePath;
    for (const Modem& modem : modems) {
        if (modem.primaryPort == name || modem.ports.contains(name)) {
            return &modem;
        }
    }
    return nullptr;
}

ModemManagerAdvice::UsbIds ModemManagerAdvice::usbIdsAt(const QString& device) {
    if (device.isEmpty()) {
        return {};
    }
    for (QString dir = QFileInfo(device).absoluteFilePath(); !QDir(dir).isRoot(); dir = QFileInfo(dir).path()) {
        const QString vendor = readId(dir + QStringLiteral("/idVendor"));
        const QString product = readId(dir + QStringLiteral("/idProduct"));
        if (!vendor.isEmpty() && !product.isEmpty()) {
            return {vendor, product};
        }
    }
    return {};
}

QString ModemManagerAdvice::advice(const QString& devicePath, const UsbIds& ids) {
    const bool known = !ids.vendor.isEmpty();
    const QString rule =
        QStringLiteral("ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"")
            .arg(known ? ids.vendor : QStringLiteral("<vendor>"), known ? ids.product : QStringLiteral("<product>"));
    const QString findIds =
        known ? QString()
              : QStringLiteral(", with the modem's USB vendor and product IDs in place of <vendor> and <product> "
                               "(\"udevadm info --attribute-walk --name=%1\" shows them as idVendor and idProduct)")
                    .arg(devicePath);
    return QStringLiteral("ModemManager, the system service for mobile broadband modems, has taken the modem on %1, "
                          "so Brisvane cannot use it.\r\r"
                          "To keep ModemManager off this modem, put this line in the file "
                          "/etc/udev/rules.d/99-brisvane-modem.rules%2:\r\r%3\r\r"
                          "Then reload the rules with \"sudo udevadm control --reload\", unplug the modem, plug it in "
                          "again and press On/Off.")
        .arg(devicePath, findIds, rule);
}
