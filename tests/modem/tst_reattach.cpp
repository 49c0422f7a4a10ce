#include "PhoneLine.h"
#include "ScriptedTransport.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/DeviceWatch.h"
#include "modem/ModemLink.h"
#include "modem/SerialControl.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(SerialTransport::ErrorKind)

namespace {
using Light = PhoneFace::Light;
const QByteArray Init = "AT#CLS=8#VLS=6#CID=1\r";

bool makeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

// Points `link` at `target`, as udev makes a by-id name: whatever was there goes.
bool pointLink(const QString& link, const QString& target) {
    QFile::remove(link);
    return QFile::link(target, link);
}
} // namespace

// A modem that went away while attached and whose device path comes back: the telephone attaches
// again by itself unless the user took over meanwhile.
class TestReattach : public QObject {
    Q_OBJECT
private slots:
    void linkComesBack_data();
    void linkComesBack();
    void deviceNotReadyAtFirst_data();
    void deviceNotReadyAtFirst();
    void folderGoesAndComesBack();
    void unusableSettingIsToldOnce();
};

void TestReattach::linkComesBack_data() {
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<bool>("reattaches");
    QTest::newRow("nothing") << "" << true;
    QTest::newRow("the link first names no device") << "not a device" << true;
    QTest::newRow("the user pressed On/Off") << "On/Off" << false;
    QTest::newRow("the telephone closed") << "close" << false;
}

void TestReattach::linkComesBack() {
    QFETCH(QString, meanwhile);
    QFETCH(bool, reattaches);
    PhoneLine line(PhoneLine::Line::Pty);
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("modem"));
    QVERIFY(pointLink(link, line.pty()->devicePath()));
    PhoneLine::storeModem(line.store(), link);
    line.load();
    QVERIFY(line.pty()->waitForReceived(Init));
    Phone& phone = line.phone();
    const DeviceWatch& watch = phone.modemLink().deviceWatch();
    QVERIFY(!watch.active());

    line.pty()->closeMaster();
    QVERIFY(QFile::remove(link));
    QVERIFY(line.waitUntil([&] { return !line.shared.ModemAttached; }));
    QCOMPARE(line.messages.boxes.size(), 1);
    QCOMPARE(line.messages.firstLine(0), QStringLiteral("8020"));
    QVERIFY(watch.active());
    QCOMPARE(watch.folder(), dir.path());

    int boxes = 1;
    if (meanwhile == QLatin1String("not a device")) {
        // A path that is there but cannot be opened as a serial device: tried quietly, twice.
        const QString plain = dir.filePath(QStringLiteral("plain"));
        QVERIFY(makeFile(plain));
        QVERIFY(pointLink(link, plain));
        QVERIFY(!line.waitUntil([&] { return line.shared.ModemAttached || line.messages.boxes.size() > 1; }, 5));
        QVERIFY(watch.active());
        QCOMPARE(QFileInfo(plain).size(), 0);
    } else if (meanwhile == QLatin1String("On/Off")) {
        phone.cmdOnOff_Click(); // nothing to attach to: told as always
        QCOMPARE(line.messages.firstLine(boxes++), QStringLiteral("8002"));
        QVERIFY(!watch.active());
    } else if (meanwhile == QLatin1String("close")) {
        QVERIFY(phone.queryUnload());
        QVERIFY(!watch.active());
    }

    Pty back;
    QVERIFY(back.isValid());
    QVERIFY(pointLink(link, back.devicePath()));
    if (reattaches) {
        QVERIFY(back.waitForReceived(Init));
        QCOMPARE(back.received(), Init);
        QVERIFY(line.shared.ModemAttached);
        QVERIFY(phone.face().lit(Light::Power));
        QVERIFY(!watch.active());
    } else {
        QVERIFY(!line.waitUntil([&] { return !back.received().isEmpty() || line.shared.ModemAttached; }, 5));
        QVERIFY(!phone.face().lit(Light::Power));
        QVERIFY(!phone.comModem().portOpen());
    }
    QCOMPARE(line.messages.boxes.size(), boxes);
}

// Over the scripted line the device is a plain file in a folder of the test's: the watch sees the
// folder, the line decides how the open goes.
struct ScriptedLoss {
    PhoneLine line;
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("by-id"));
    QString device = folder + QStringLiteral("/usb-Modem_0001-if00");

    bool attachAndLose() {
        if (!QDir().mkpath(folder) || !makeFile(device)) {
            return false;
        }
        PhoneLine::storeModem(line.store(), device);
        line.load();
        if (!line.waitUntil([this] { return line.written() == Init; }, 10)) {
            return false;
        }
        line.clearWritten();
        line.modem()->vanish();
        return QFile::remove(device) && line.waitUntil([this] { return !line.shared.ModemAttached; }) &&
               line.messages.boxes.size() == 1;
    }
    bool reattached() {
        return line.waitUntil([this] { return line.shared.ModemAttached; }) && line.written() == Init &&
               line.phone().face().lit(PhoneFace::Light::Power) && line.messages.boxes.size() == 1 &&
               !line.phone().modemLink().deviceWatch().active();
    }
};

void TestReattach::deviceNotReadyAtFirst_data() {
    QTest::addColumn<SerialTransport::ErrorKind>("failure");
    QTest::newRow("no permission yet") << SerialTransport::ErrorKind::NotFound;
    QTest::newRow("held by another program") << SerialTransport::ErrorKind::Permission;
}

void TestReattach::deviceNotReadyAtFirst() {
    QFETCH(SerialTransport::ErrorKind, failure);
    ScriptedLoss loss;
    QVERIFY(loss.attachAndLose());
    loss.line.modem()->failNextOpen(failure, QStringLiteral("Not yet"));
    const double appeared = loss.line.clock.now();
    QVERIFY(makeFile(loss.device));
    // Nothing else changes in the folder: the second look, a moment later, attaches.
    QVERIFY(loss.reattached());
    QVERIFY(loss.line.writtenAt(Init) - appeared >= 2);
    QCOMPARE(loss.line.modem()->opened.size(), 2);
}

void TestReattach::folderGoesAndComesBack() {
    ScriptedLoss loss;
    QVERIFY(loss.attachAndLose());
    const DeviceWatch& watch = loss.line.phone().modemLink().deviceWatch();
    QCOMPARE(watch.folder(), loss.folder);
    QVERIFY(QDir(loss.folder).removeRecursively());
    QTRY_COMPARE(watch.folder(), loss.dir.path());
    QVERIFY(QDir().mkpath(loss.folder));
    QTRY_COMPARE(watch.folder(), loss.folder);
    QVERIFY(makeFile(loss.device));
    QVERIFY(loss.reattached());
}

void TestReattach::unusableSettingIsToldOnce() {
    ScriptedLoss loss;
    QVERIFY(loss.attachAndLose());
    loss.line.store().write(Settings::Speaker, QStringLiteral("loud"));
    QVERIFY(makeFile(loss.device));
    QVERIFY(loss.line.waitUntil([&] { return loss.line.messages.boxes.size() == 2; }));
    QVERIFY(!loss.line.phone().modemLink().deviceWatch().active());
    QVERIFY(loss.line.messages.boxes.at(1).text.contains(QStringLiteral("\"loud\"")));
    QVERIFY(!loss.line.shared.ModemAttached);
    QCOMPARE(loss.line.modem()->opened.size(), 1);
}

QTEST_MAIN(TestReattach)
#include "tst_reattach.moc"
