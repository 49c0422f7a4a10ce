#include "setup/SerialDevices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The list of serial devices offered for each port: reported ports paired with their stable
// /dev/serial/by-id names, in a made-up /dev.
class TestSerialDevices : public QObject {
    Q_OBJECT
private slots:
    void init();
    void portsArePairedWithTheirStableNames();
    void noByIdFolder();
    void choicesPutTheStableNameFirst();

private:
    QString dev(const QString& name) const { return m_root->path() + QStringLiteral("/dev/") + name; }
    void makeDevice(const QString& name);
    void makeLink(const QString& name, const QString& target);
    QString byId() const { return dev(QStringLiteral("serial/by-id")); }

    std::unique_ptr<QTemporaryDir> m_root;
};

void TestSerialDevices::init() {
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(byId()));
}

void TestSerialDevices::makeDevice(const QString& name) {
    QFile file(dev(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestSerialDevices::makeLink(const QString& name, const QString& target) {
    QVERIFY(QFile::link(target, byId() + QLatin1Char('/') + name));
}

void TestSerialDevices::portsArePairedWithTheirStableNames() {
    makeDevice(QStringLiteral("ttyS0"));
    makeDevice(QStringLiteral("ttyACM0"));
    makeDevice(QStringLiteral("ttyUSB0"));
    // Relative links, as udev makes them; a modem with two interfaces has two.
    makeLink(QStringLiteral("usb-Conexant_USB_Modem_24-if01"), QStringLiteral("../../ttyACM0"));
    makeLink(QStringLiteral("usb-Conexant_USB_Modem_24-if00"), QStringLiteral("../../ttyACM0"));
    makeLink(QStringLiteral("usb-FTDI_Serial-if00"), QStringLiteral("../../ttyUSB0")); // not reported
    makeLink(QStringLiteral("usb-Unplugged-if00"), QStringLiteral("../../ttyACM9"));   // leads nowhere

    const QList<SerialDevices::Reported> reported{
        {dev(QStringLiteral("ttyS0")), QString(), QString()},
        {dev(QStringLiteral("ttyACM0")), QStringLiteral("USB Modem"), QStringLiteral("Conexant")},
    };
    const QList<SerialDevice> devices = SerialDevices::describe(reported, byId());
    QCOMPARE(devices.size(), 3);
    QCOMPARE(devices[0].path, dev(QStringLiteral("ttyACM0")));
    QCOMPARE(devices[0].stablePath, byId() + QStringLiteral("/usb-Conexant_USB_Modem_24-if00"));
    QCOMPARE(devices[0].description, QStringLiteral("USB Modem, Conexant"));
    QCOMPARE(devices[1].path, dev(QStringLiteral("ttyS0")));
    QCOMPARE(devices[1].stablePath, QString());
    QCOMPARE(devices[1].description, QString());
    QCOMPARE(QFileInfo(devices[2].path).canonicalFilePath(),
             QFileInfo(dev(QStringLiteral("ttyUSB0"))).canonicalFilePath());
    QCOMPARE(devices[2].stablePath, byId() + QStringLiteral("/usb-FTDI_Serial-if00"));
}

void TestSerialDevices::noByIdFolder() {
    const QList<SerialDevices::Reported> reported{{QStringLiteral("/dev/ttyS1"), QStringLiteral("  "), QString()}};
    const QList<SerialDevice> devices = SerialDevices::describe(reported, dev(QStringLiteral("no/such/folder")));
    QCOMPARE(devices.size(), 1);
    QCOMPARE(devices[0].path, QStringLiteral("/dev/ttyS1"));
    QCOMPARE(devices[0].description, QString());
}

void TestSerialDevices::choicesPutTheStableNameFirst() {
    const QList<SerialDevice> devices{
        {QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/serial/by-id/usb-M-if00"), QStringLiteral("USB Modem")},
        {QStringLiteral("/dev/ttyS0"), QString(), QString()},
    };
    const QList<SerialDevices::Choice> choices = SerialDevices::choices(devices);
    QCOMPARE(choices.size(), 3);
    QCOMPARE(choices[0].path, QStringLiteral("/dev/serial/by-id/usb-M-if00"));
    QCOMPARE(choices[0].label, QStringLiteral("/dev/serial/by-id/usb-M-if00  (USB Modem, /dev/ttyACM0)"));
    QCOMPARE(choices[1].path, QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(choices[1].label, QStringLiteral("/dev/ttyACM0  (USB Modem)"));
    QCOMPARE(choices[2].path, QStringLiteral("/dev/ttyS0"));
    QCOMPARE(choices[2].label, QStringLiteral("/dev/ttyS0"));
}

QTEST_GUILESS_MAIN(TestSerialDevices)
#include "tst_serialdevices.moc"
