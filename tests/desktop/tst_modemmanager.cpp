#include "PhoneLine.h"
#include "ScriptedTransport.h"
#include "console/Phone.h"
#include "desktop/ModemManagerAdvice.h"
#include "desktop/ModemManagerObjects.h"
#include "modem/ModemLink.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace ModemManagerObjects;

// ModemManager as it answers on the system bus: one modem, with its sysfs device and its ports.
class FakeModemManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.ObjectManager")
public:
    QString device;
    QString port;

public slots:
    ManagedObjects GetManagedObjects() {
        const Ports ports{{QStringLiteral("cdc-wdm0"), 1}, {port, 3}};
        QVariantMap modem{{QStringLiteral("Device"), device},
                          {QStringLiteral("PrimaryPort"), port},
                          {QStringLiteral("Ports"), QVariant::fromValue(ports)}};
        return {{QDBusObjectPath(QStringLiteral("/org/freedesktop/ModemManager1/Modem/0")),
                 {{QStringLiteral("org.freedesktop.ModemManager1.Modem"), modem}}}};
    }
};

// An attach refused because the device is held: with ModemManager holding the modem the user is
// told how to keep it off, through a stand-in ModemManager on a system bus of the test's own.
class TestModemManager : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void heldDevice_data();
    void heldDevice();

private:
    QProcess m_daemon;
    QString m_address;
};

void TestModemManager::initTestCase() {
    registerTypes();
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                   QStringLiteral("--nopidfile"), QStringLiteral("--print-address")});
    QVERIFY2(m_daemon.waitForReadyRead(5000), "dbus-daemon did not start");
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toLocal8Bit());
}

void TestModemManager::cleanupTestCase() {
    m_daemon.terminate();
    m_daemon.waitForFinished(3000);
}

void TestModemManager::heldDevice_data() {
    QTest::addColumn<QString>("managed"); // the port ModemManager lists; empty: no ModemManager
    QTest::addColumn<QString>("ids");     // idVendor and idProduct in its sysfs device
    QTest::addColumn<QString>("told");
    const QString rule =
        QStringLiteral(R"(ATTRS{idVendor}=="0572", ATTRS{idProduct}=="1329", ENV{ID_MM_DEVICE_IGNORE}="1")");
    QTest::newRow("it has the modem") << "ttyACM0"
                                      << "0572 1329" << rule;
    QTest::newRow("IDs it cannot show") << "ttyACM0"
                                        << "05 72\n"
                                        << R"(ATTRS{idVendor}=="<vendor>")";
    QTest::newRow("another modem") << "ttyACM1"
                                   << "0572 1329"
                                   << "The serial device /dev/ttyACM0 is in use by another program.";
    QTest::newRow("no ModemManager") << ""
                                     << "0572 1329"
                                     << "The serial device /dev/ttyACM0 is in use by another program.";
}

void TestModemManager::heldDevice() {
    QFETCH(QString, managed);
    QFETCH(QString, ids);
    QFETCH(QString, told);
    QTemporaryDir sysfs;
    const QString usb = sysfs.filePath(QStringLiteral("usb1/1-2"));
    QVERIFY(QDir().mkpath(usb + QStringLiteral("/1-2:1.0/tty/ttyACM0")));
    const QStringList id = ids.split(QLatin1Char(' '));
    for (const auto& [file, text] : {std::pair{"idVendor", id.value(0)}, std::pair{"idProduct", id.value(1)}}) {
        QFile f(usb + QLatin1Char('/') + QLatin1String(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toLatin1() + '\n');
    }
    FakeModemManager manager;
    manager.device = usb;
    manager.port = managed;
    QDBusConnection server = QDBusConnection::connectToBus(m_address, QStringLiteral("server"));
    if (!managed.isEmpty()) {
        QVERIFY(server.registerObject(QStringLiteral("/org/freedesktop/ModemManager1"), &manager,
                                      QDBusConnection::ExportAllSlots));
        QVERIFY(server.registerService(QStringLiteral("org.freedesktop.ModemManager1")));
    }

    PhoneLine line;
    ModemManagerAdvice advice(line.waiter);
    line.services.heldDeviceAdvice = &advice;
    PhoneLine::storeModem(line.store(), QStringLiteral("/dev/ttyACM0"));
    line.phone();
    line.modem()->failNextOpen(SerialTransport::ErrorKind::Permission);
    line.load();
    server.unregisterService(QStringLiteral("org.freedesktop.ModemManager1"));
    server.unregisterObject(QStringLiteral("/org/freedesktop/ModemManager1"));

    QCOMPARE(line.messages.boxes.size(), 1);
    QCOMPARE(line.messages.firstLine(0), QStringLiteral("8005"));
    const QString text = line.messages.boxes.at(0).text;
    QVERIFY2(text.contains(told), qPrintable(text));
    QCOMPARE(text.contains(QStringLiteral("ModemManager")), told.startsWith(QLatin1String("ATTRS")));
    QVERIFY(!line.shared.ModemAttached);
    QCOMPARE(line.written(), QByteArray());
}

QTEST_MAIN(TestModemManager)
#include "tst_modemmanager.moc"
