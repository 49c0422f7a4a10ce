#include "PhoneLine.h"
#include "ScriptedTransport.h"
#include "desktop/ModemManagerAdvice.h"
#include "desktop/ModemManagerObjects.h"

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
        const QVariantMap modem{{QStringLiteral("Device"), device},
                                {QStringLiteral("PrimaryPort"), port},
                                {QStringLiteral("Ports"), QVariant::fromValue(ports)}};
        return {{QDBusObjectPath(QStringLiteral("/org/freedesktop/ModemManager1/Modem/0")),
                 {{QStringLiteral("org.freedesktop.ModemManager1.Modem"), modem}}}};
    }
};

// An attach refused because the device is held: when ModemManager has the modem, the user is told
// how to keep it off. The stand-in ModemManager runs on a system bus of the test's own.
class TestModemManager : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        registerTypes();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        QVERIFY2(m_daemon.waitForReadyRead(5000), "dbus-daemon did not start");
        m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toLocal8Bit());
    }
    void cleanupTestCase() {
        m_daemon.terminate();
        m_daemon.waitForFinished(3000);
    }

    void heldDevice_data() {
        QTest::addColumn<QString>("managed"); // the port ModemManager lists; empty: no ModemManager
        QTest::addColumn<QByteArray>("vendor");
        QTest::addColumn<QString>("told");
        const QString inUse = QStringLiteral("The serial device /dev/ttyACM0 is in use by another program.");
        QTest::newRow("it has the modem")
            << "ttyACM0" << QByteArray("0572\n")
            << R"(ATTRS{idVendor}=="0572", ATTRS{idProduct}=="1329", ENV{ID_MM_DEVICE_IGNORE}="1")";
        QTest::newRow("an ID that is none") << "ttyACM0" << QByteArray("\"; rm\n") << R"(ATTRS{idVendor}=="<vendor>")";
        QTest::newRow("another modem") << "ttyACM1" << QByteArray("0572\n") << inUse;
        QTest::newRow("no ModemManager") << "" << QByteArray("0572\n") << inUse;
    }

    void heldDevice() {
        QFETCH(QString, managed);
        QFETCH(QByteArray, vendor);
        QFETCH(QString, told);
        QTemporaryDir sysfs; // the USB device; the serial port is an interface below it
        QVERIFY(QDir().mkpath(sysfs.filePath(QStringLiteral("1-2/1-2:1.0/tty/ttyACM0"))));
        for (const auto& [file, id] :
             {std::pair{"1-2/idVendor", vendor}, std::pair{"1-2/idProduct", QByteArray("1329\n")}}) {
            QFile f(sysfs.filePath(QLatin1String(file)));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(id) > 0);
        }
        FakeModemManager manager;
        manager.device = sysfs.filePath(QStringLiteral("1-2/1-2:1.0"));
        manager.port = managed;
        QDBusConnection server = QDBusConnection::connectToBus(m_address, QStringLiteral("server"));
        const QString service = managed.isEmpty() ? QString() : QStringLiteral("org.freedesktop.ModemManager1");
        QVERIFY(server.registerObject(QStringLiteral("/org/freedesktop/ModemManager1"), &manager,
                                      QDBusConnection::ExportAllSlots));
        QVERIFY(service.isEmpty() || server.registerService(service));

        PhoneLine line;
        ModemManagerAdvice advice(line.waiter);
        line.services.heldDeviceAdvice = &advice;
        PhoneLine::storeModem(line.store(), QStringLiteral("/dev/ttyACM0"));
        line.phone();
        line.modem()->failNextOpen(SerialTransport::ErrorKind::Permission);
        line.load();
        server.unregisterService(service);
        server.unregisterObject(QStringLiteral("/org/freedesktop/ModemManager1"));

        QCOMPARE(line.messages.boxes.size(), 1);
        QCOMPARE(line.messages.firstLine(0), QStringLiteral("8005"));
        const QString text = line.messages.boxes.at(0).text;
        QVERIFY2(text.contains(told), qPrintable(text));
        QCOMPARE(text.contains(QStringLiteral("ModemManager")), told.startsWith(QLatin1String("ATTRS")));
        QVERIFY(!line.shared.ModemAttached);
        // Nothing goes to a device another program holds.
        QCOMPARE(line.written(), QByteArray());
    }

private:
    QProcess m_daemon;
    QString m_address;
};

QTEST_MAIN(TestModemManager)
#include "tst_modemmanager.moc"
