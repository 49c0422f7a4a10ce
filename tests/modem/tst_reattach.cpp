#include "PhoneLine.h"
#include "ScriptedTransport.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/DeviceLock.h"
#include "modem/DeviceWatch.h"
#include "modem/ModemLink.h"
#include "modem/SerialControl.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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
    void deviceHeldWhenItComesBack_data();
    void deviceHeldWhenItComesBack();
    void folderGoesAndComesBack();
    void unusableSettingIsToldOnce();
};

// Over a pseudo-terminal the telephone opens its modem by a link in a folder of the test's, as it
// opens a /dev/serial/by-id name.
struct LinkedLoss {
    PhoneLine line;
    QTemporaryDir dir;
    QString link = dir.filePath(QStringLiteral("modem"));

    explicit LinkedLoss(double speedup = 20)
        : line(PhoneLine::Line::Pty, speedup) {}
    bool attach() {
        if (!pointLink(link, line.pty()->devicePath())) {
            return false;
        }
        PhoneLine::storeModem(line.store(), link);
        line.load();
        return line.pty()->waitForReceived(Init);
    }
    bool lose() {
        line.pty()->closeMaster();
        return QFile::remove(link) && line.waitUntil([this] { return !line.shared.ModemAttached; });
    }
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
    LinkedLoss loss;
    PhoneLine& line = loss.line;
    const QString& link = loss.link;
    QTemporaryDir& dir = loss.dir;
    QVERIFY(loss.attach());
    Phone& phone = line.phone();
    const DeviceWatch& watch = phone.modemLink().deviceWatch();
    QVERIFY(!watch.active());
    QVERIFY(loss.lose());
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
    QTest::addColumn<double>("pause"); // before the next look
    QTest::newRow("no permission yet") << SerialTransport::ErrorKind::NotFound << 2.0;
    QTest::newRow("held by another program") << SerialTransport::ErrorKind::Permission << 1.0;
}

void TestReattach::deviceNotReadyAtFirst() {
    QFETCH(SerialTransport::ErrorKind, failure);
    QFETCH(double, pause);
    ScriptedLoss loss;
    QVERIFY(loss.attachAndLose());
    loss.line.modem()->failNextOpen(failure, QStringLiteral("Not yet"));
    const double appeared = loss.line.clock.now();
    QVERIFY(makeFile(loss.device));
    // Nothing else changes in the folder: the second look, a moment later, attaches.
    QVERIFY(loss.reattached());
    QVERIFY(loss.line.writtenAt(Init) - appeared >= pause);
    QCOMPARE(loss.line.modem()->opened.size(), 2);
}

void TestReattach::deviceHeldWhenItComesBack_data() {
    QTest::addColumn<double>("heldFor");
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<double>("speedup");
    QTest::addColumn<bool>("attaches"); // at the next look once it is let go
    QTest::addColumn<int>("boxes");     // the loss, and who holds the device
    QTest::newRow("let go after 8 s") << 8.0 << "" << 5.0 << true << 1;
    QTest::newRow("held past two minutes") << 140.0 << "" << 40.0 << false << 2;
    QTest::newRow("the user pressed On/Off") << 8.0 << "On/Off" << 5.0 << false << 2;
    QTest::newRow("another port chosen in Setup") << 8.0 << "Setup" << 5.0 << false << 1;
}

// The device is back but locked by a live program: tried again and again, quietly, until it is
// let go, and for two minutes at the most.
void TestReattach::deviceHeldWhenItComesBack() {
    QFETCH(double, heldFor);
    QFETCH(QString, meanwhile);
    QFETCH(double, speedup);
    QFETCH(bool, attaches);
    QFETCH(int, boxes);
    LinkedLoss loss(speedup);
    PhoneLine& line = loss.line;
    QVERIFY(loss.attach() && loss.lose());
    line.clearWritten();
    Pty back;
    QProcess holder;
    holder.start(QStringLiteral("sleep"), {QStringLiteral("600")});
    QVERIFY(holder.waitForStarted());
    const qint64 pid = holder.processId();
    QFile lock(line.lockDir.filePath(DeviceLock::fileNameFor(back.devicePath())));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid).rightJustified(10, ' ') + '\n');
    lock.close();
    QVERIFY(pointLink(loss.link, back.devicePath()));

    line.letPass(heldFor);
    QCOMPARE(back.received(), QByteArray());
    if (meanwhile == QLatin1String("On/Off")) {
        line.phone().cmdOnOff_Click();
    } else if (meanwhile == QLatin1String("Setup")) {
        line.store().write(Settings::Port, QStringLiteral("2"));
    }
    holder.kill();
    QVERIFY(holder.waitForFinished());
    const double letGo = line.clock.now();
    if (attaches) {
        QVERIFY(back.waitForReceived(Init));
        QCOMPARE(back.received(), Init);
        QVERIFY(line.writtenAt(Init) - letGo <= 5 + 1); // the next look, with a second to spare
    } else {
        QVERIFY(!line.waitUntil([&] { return !back.received().isEmpty(); }, 15));
        // Held for good, a later re-plug still attaches; after On/Off or another port, none does.
        QCOMPARE(line.phone().modemLink().deviceWatch().active(), meanwhile.isEmpty());
    }
    QCOMPARE(line.messages.boxes.size(), boxes);
    if (boxes > 1) {
        QCOMPARE(line.messages.firstLine(1), QStringLiteral("8005"));
        const QString text = line.messages.boxes.at(1).text;
        QVERIFY2(text.contains(QStringLiteral("\"sleep\" (process %1)").arg(pid)), qPrintable(text));
    }
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
