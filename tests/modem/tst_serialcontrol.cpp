#include "Pty.h"
#include "ScriptedTransport.h"
#include "modem/Clock.h"
#include "modem/DeviceAccess.h"
#include "modem/DeviceHolders.h"
#include "modem/DeviceLock.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

Q_DECLARE_METATYPE(DeviceAccess::Verdict)
Q_DECLARE_METATYPE(SerialTransport::ErrorKind)

namespace {

// Opens the port, telling why when it fails.
bool opened(SerialControl& control) {
    const SerialError error = control.setPortOpen(true);
    if (error) {
        qWarning("open failed: %d %s", error.number, qPrintable(error.description));
    }
    return !error;
}

// A process that runs until the test is over, holding a lock as another program would.
struct LiveProcess {
    pid_t pid = ::fork();
    LiveProcess() {
        while (pid == 0) {
            ::pause();
        }
    }
    ~LiveProcess() {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
};

pid_t deadPid() {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(0);
    }
    ::waitpid(pid, nullptr, 0);
    return pid;
}

// Keeps a pseudo-terminal's number taken while this lives, even after its master is closed.
struct NumberHold {
    int fd;
    explicit NumberHold(const QString& path)
        : fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~NumberHold() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// The modem on a pseudo-terminal, a lock folder of the test's own, and a control that opens
// `path` (the pseudo-terminal unless a test points it elsewhere) for every port number.
struct Rig {
    ScaledClock clock{2};
    Pty pty;
    QString path = pty.devicePath();
    QTemporaryDir locks;
    SerialControl control{[this](int) { return path; }};

    Rig() { control.setLockDirectory(locks.path()); }
    QString lockFile(const QString& device) const {
        return locks.path() + QLatin1Char('/') + DeviceLock::fileNameFor(device);
    }
    void send(const QByteArray& bytes) { pty.send(bytes); }
    // The hang-up decides how the port sees the loss. The serial port closes the device before it
    // removes its lock file; a test running beside this one could get the freed number in between
    // and find it locked, so the number stays taken.
    void vanish(SerialTransport::ErrorKind) {
        hold.emplace(path);
        pty.closeMaster();
    }
    std::optional<NumberHold> hold;

    std::unique_ptr<SerialControl> another(const QString& lockFolder) const {
        auto second = std::make_unique<SerialControl>([device = pty.devicePath()](int) { return device; });
        second->setLockDirectory(lockFolder);
        return second;
    }
};

// The same control over a scripted line: no pseudo-terminal, no device file, and writes timed on
// the test's clock.
struct ScriptedRig {
    ScaledClock clock{10};
    QString path = QStringLiteral("/dev/ttyUSB0");
    ScriptedTransport* line = new ScriptedTransport(clock);
    SerialControl control{[this](int) { return path; }, std::unique_ptr<SerialTransport>(line)};

    void send(const QByteArray& bytes) { line->feed(bytes); }
    void vanish(SerialTransport::ErrorKind kind) { line->vanish(kind); }
};

QByteArray hdb(qint64 pid) {
    char text[32];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return QByteArray(text);
}

QByteArray binary(qint32 pid) {
    return QByteArray(reinterpret_cast<const char*>(&pid), sizeof pid);
}

void writeFile(const QString& path, const QByteArray& content, int ageSeconds = 0) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.flush(); // a write at close would stamp the file again
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The receive handler waits half a second before it reads; what arrives meanwhile must raise a
// notification inside that wait.
template <class AnyRig> void nestedNotifications(AnyRig& rig) {
    Waiter waiter(rig.clock);
    QVERIFY(opened(rig.control));
    QByteArray handled;
    int depth = 0;
    int nested = 0;
    QObject::connect(&rig.control, &SerialControl::onComm, &rig.control, [&] {
        QCOMPARE(rig.control.commEvent(), 2);
        nested += depth > 0;
        if (++depth == 1) {
            rig.send("VCON\r\n");
            waiter.delay(0.5);
        }
        handled += rig.control.input();
        --depth;
    });
    rig.send("OK\r\n");
    QTRY_VERIFY(handled.contains("VCON\r\n"));
    QCOMPARE(handled, QByteArray("OK\r\nVCON\r\n"));
    QCOMPARE(nested, 1);
}

// Opens the port and makes the device vanish, collecting the reports in `lost` and checking that the
// port had closed and dropped its lock by then. A report repeated while the message box is up would nest in its wait.
template <class AnyRig>
void lossReports(AnyRig& rig, SerialTransport::ErrorKind kind, const QString& lockFile, QList<SerialError>& lost) {
    Waiter waiter(rig.clock);
    QVERIFY(opened(rig.control));
    bool closedWhenReported = false;
    QObject::connect(&rig.control, &SerialControl::deviceLost, &rig.control, [&](const SerialError& error) {
        lost.append(error);
        closedWhenReported = !rig.control.portOpen() && !QFileInfo::exists(lockFile);
        waiter.delay(1);
    });
    rig.vanish(kind);
    QTRY_COMPARE(lost.size(), 1);
    QVERIFY(closedWhenReported);
    QCOMPARE(rig.control.output("AT\r").number, 8018);
}

} // namespace

class TestSerialControl : public QObject {
    Q_OBJECT
private slots:
    // Over a scripted line: the control's own rules.
    void commPortRules_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("portAfter");
        QTest::newRow("zero") << false << 0 << 8002 << 1;
        QTest::newRow("negative") << false << -3 << 8002 << 1;
        QTest::newRow("another while closed") << false << 4 << 0 << 4;
        QTest::newRow("same while open") << true << 1 << 0 << 1;
        QTest::newRow("another while open") << true << 2 << 8005 << 1;
        QTest::newRow("zero while open") << true << 0 << 8002 << 1;
    }

    void commPortRules() {
        QFETCH(bool, open);
        QFETCH(int, number);
        ScriptedRig rig;
        QCOMPARE(rig.control.commPort(), 1);
        QVERIFY(!open || opened(rig.control));
        QTEST(rig.control.setCommPort(number).number, "error");
        QTEST(rig.control.commPort(), "portAfter");
        QCOMPARE(rig.control.portOpen(), open);
    }

    void operationsNeedAnOpenPort() {
        ScriptedRig rig;
        QCOMPARE(rig.control.output("ATZ\r").number, 8018);
        QCOMPARE(rig.control.setInBufferCount(0).number, 8018);
        QCOMPARE(rig.control.setPortOpen(false).number, 0);
        QVERIFY(opened(rig.control));
        QCOMPARE(rig.control.setPortOpen(true).number, 8005);
        QVERIFY(rig.control.portOpen());
        QCOMPARE(rig.control.setInBufferCount(3).number, 380);
        QCOMPARE(rig.control.setInputLen(-1).number, 380);
    }

    void openFailureIsNumberedAndNamed_data() {
        using Kind = SerialTransport::ErrorKind;
        QTest::addColumn<QString>("path");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
        const QString usb = QStringLiteral("/dev/ttyUSB0");
        QTest::newRow("no device set") << QString() << Kind::None << 8002
                                       << QStringLiteral("No serial device is set for port 1.");
        QTest::newRow("no such device, bare name") << QStringLiteral("ttyUSB0") << Kind::NotFound << 8002
                                                   << QStringLiteral("The serial device /dev/ttyUSB0 does not exist.");
        QTest::newRow("refused") << usb << Kind::Permission << 8005
                                 << QStringLiteral("The serial device /dev/ttyUSB0 is in use by another program. "
                                                   "Close that program, or choose another port in Setup.");
        QTest::newRow("already open") << usb << Kind::Busy << 8005
                                      << QStringLiteral("The serial device /dev/ttyUSB0 is already open.");
        QTest::newRow("anything else") << usb << Kind::Other << 8002
                                       << QStringLiteral("The serial device /dev/ttyUSB0 could not be opened: "
                                                         "Scripted failure");
    }
    void openFailureIsNumberedAndNamed() {
        QFETCH(QString, path);
        QFETCH(SerialTransport::ErrorKind, kind);
        ScriptedRig rig;
        rig.path = path;
        rig.line->failNextOpen(kind);
        const SerialError error = rig.control.setPortOpen(true);
        QTEST(error.number, "error");
        QTEST(error.description, "text");
        QVERIFY(!rig.control.portOpen());
        rig.path = QStringLiteral("/dev/ttyUSB0");
        QVERIFY(opened(rig.control)); // the failure does not stick
        QCOMPARE(rig.line->opened, QStringList{rig.path});
    }

    void scriptedLineLooksAtNoDeviceFile() {
        // Its path names no file, and a lock under its name, even a live one, is neither read nor
        // written: tests over it do not depend on what the machine's devices and locks are.
        ScriptedRig rig;
        QTemporaryDir locks;
        rig.control.setLockDirectory(locks.path());
        LiveProcess other;
        const QString lock = locks.filePath(DeviceLock::fileNameFor(rig.path));
        writeFile(lock, hdb(other.pid));
        QVERIFY(opened(rig.control));
        QCOMPARE(readFile(lock), hdb(other.pid));
        QCOMPARE(QDir(locks.path()).entryList(QDir::Files), QStringList{DeviceLock::fileNameFor(rig.path)});
    }

    void discardDropsInputBeforeAttach_data() {
        QTest::addColumn<bool>("readFirst");
        QTest::newRow("still with the driver") << false;
        QTest::newRow("read, notification queued") << true;
    }

    void discardDropsInputBeforeAttach() {
        QFETCH(bool, readFirst);
        ScriptedRig rig;
        rig.send("RING\r\nNMBR = 5551234\r\n");
        QByteArray handled;
        int emptyReads = 0;
        bool discarded = false; // lives as long as the connection that sets it
        connect(&rig.control, &SerialControl::onComm, this, [&] {
            const QByteArray got = rig.control.input();
            emptyReads += got.isEmpty();
            handled += got;
        });
        QVERIFY(opened(rig.control));
        if (readFirst) {
            // Right after the control has read the lines and queued their notification.
            connect(rig.line, &SerialTransport::readyRead, this, [&] {
                if (!std::exchange(discarded, true)) {
                    QCOMPARE(rig.control.setInBufferCount(0).number, 0);
                }
            });
            QTRY_VERIFY(discarded);
        } else {
            QCOMPARE(rig.control.setInBufferCount(0).number, 0);
        }
        QCOMPARE(rig.control.inBufferCount(), 0);
        rig.send("OK\r\n");
        QTRY_COMPARE(handled, QByteArray("OK\r\n"));
        QCOMPARE(emptyReads, 0);
    }

    void inputLenLimitsARead() {
        ScriptedRig rig;
        QVERIFY(opened(rig.control));
        rig.send("abcdef");
        QTRY_COMPARE(rig.control.inBufferCount(), 6);
        QCOMPARE(rig.control.setInputLen(2).number, 0);
        QCOMPARE(rig.control.input(), QByteArray("ab"));
        QCOMPARE(rig.control.inBufferCount(), 4);
        QCOMPARE(rig.control.setInputLen(0).number, 0);
        QCOMPARE(rig.control.input(), QByteArray("cdef"));
        QCOMPARE(rig.control.input(), QByteArray());
    }

    void receiveBufferKeepsTheNewestBytes() {
        // Garbage nobody reads fills the buffer to its 64 KiB; from then on the oldest bytes go.
        ScriptedRig rig;
        QVERIFY(opened(rig.control));
        int notifications = 0;
        connect(&rig.control, &SerialControl::onComm, this, [&] { ++notifications; });
        const int chunk = 4096;
        for (int i = 0; i < 16; ++i) {
            rig.send(QByteArray(chunk, static_cast<char>('A' + i)));
            QTRY_COMPARE(rig.control.inBufferCount(), (i + 1) * chunk);
        }
        QCoreApplication::sendPostedEvents(&rig.control); // no notification left pending
        for (const char c : {'x', 'y', 'z'}) {
            // A full buffer no longer grows, so arrival shows only as a notification.
            const int before = notifications;
            rig.send(QByteArray(1, c));
            QTRY_VERIFY(notifications > before);
            QCOMPARE(rig.control.inBufferCount(), 64 * 1024);
        }
        const QByteArray kept = rig.control.input();
        QCOMPARE(kept.size(), 64 * 1024);
        QVERIFY(kept.startsWith(QByteArray(chunk - 3, 'A') + 'B'));
        QVERIFY(kept.endsWith(QByteArray(chunk, 'P') + "xyz"));
    }

    // Over both a scripted line and a pseudo-terminal, so the script behaves as the real port.
    void outputIsExactOnTheWire_data() {
        QTest::addColumn<bool>("scripted");
        QTest::addColumn<QByteArray>("bytes");
        QByteArray everyValue;
        for (int i = 0; i < 256; ++i) {
            everyValue.append(static_cast<char>(i));
        }
        QTest::newRow("command line") << false << QByteArray("AT#CLS=8#VLS=6#CID=1\r");
        QTest::newRow("every byte value") << false << everyValue;
        QTest::newRow("every byte value, scripted") << true << everyValue;
    }

    void outputIsExactOnTheWire() {
        // The control goes right after the output, with no events between, as at the unload's "ATZ".
        QFETCH(bool, scripted);
        QFETCH(QByteArray, bytes);
        if (scripted) {
            // One write of all of it, at the time it was made.
            ScriptedRig rig;
            QVERIFY(opened(rig.control));
            const double before = rig.clock.now();
            QCOMPARE(rig.control.output(bytes).number, 0);
            QCOMPARE(rig.line->writes.size(), 1);
            QCOMPARE(rig.line->writes.at(0).bytes, bytes);
            QVERIFY(rig.line->writes.at(0).at >= before && rig.line->writes.at(0).at <= rig.clock.now());
            return;
        }
        Rig rig;
        auto control = rig.another(rig.locks.path());
        QSignalSpy written(control.get(), &SerialControl::bytesWritten);
        QVERIFY(opened(*control));
        QCOMPARE(control->output(bytes).number, 0);
        control.reset();
        QCOMPARE(written.count(), 1);
        QCOMPARE(written.at(0).at(0).toByteArray(), bytes);
        QVERIFY(rig.pty.waitForCount(bytes.size()));
        QCOMPARE(rig.pty.received(), bytes);
    }

    void waitingHandlerSeesNestedNotifications_data() {
        QTest::addColumn<bool>("scripted");
        QTest::newRow("pseudo-terminal") << false;
        QTest::newRow("scripted") << true;
    }
    void waitingHandlerSeesNestedNotifications() {
        QFETCH(bool, scripted);
        if (scripted) {
            ScriptedRig rig;
            nestedNotifications(rig);
        } else {
            Rig rig;
            nestedNotifications(rig);
        }
    }

    void vanishingDeviceIsReportedOnce_data() {
        using Kind = SerialTransport::ErrorKind;
        QTest::addColumn<bool>("scripted");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("reason"); // empty: any of our words for a device that is gone
        QTest::newRow("pseudo-terminal hung up") << false << Kind::Unreadable << QString();
        QTest::newRow("unreadable") << true << Kind::Unreadable << QStringLiteral("it can no longer be read");
        QTest::newRow("unwritable") << true << Kind::Unwritable << QStringLiteral("it takes no more writing");
        QTest::newRow("unplugged") << true << Kind::Unplugged << QStringLiteral("it was unplugged or stopped working");
    }
    void vanishingDeviceIsReportedOnce() {
        QFETCH(bool, scripted);
        QFETCH(SerialTransport::ErrorKind, kind);
        QFETCH(QString, reason);
        QList<SerialError> lost;
        QString path;
        if (scripted) {
            ScriptedRig rig;
            path = rig.path;
            lossReports(rig, kind, QString(), lost);
        } else {
            Rig rig;
            path = rig.path;
            lossReports(rig, kind, rig.lockFile(rig.path), lost);
        }
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(lost.at(0).number, 8020);
        // In our words: the port's own error text names a stale system error after a hang-up.
        const QString text = lost.at(0).description;
        const auto wentAway = [&](const char* why) {
            return text == QStringLiteral("The serial device %1 went away (%2).").arg(path, QLatin1String(why));
        };
        if (reason.isEmpty()) {
            QVERIFY2(wentAway("it can no longer be read") || wentAway("it was unplugged or stopped working"),
                     qPrintable(text));
        } else {
            QCOMPARE(text, QStringLiteral("The serial device %1 went away (%2).").arg(path, reason));
        }
    }

    void outputToAVanishedDevice() {
        // The write fails at once; the loss is still reported once, for the reason first seen.
        ScriptedRig rig;
        QVERIFY(opened(rig.control));
        QList<SerialError> lost;
        connect(&rig.control, &SerialControl::deviceLost, this, [&](const SerialError& error) { lost.append(error); });
        rig.vanish(SerialTransport::ErrorKind::Unplugged);
        const SerialError error = rig.control.output("ATH\r");
        QCOMPARE(error.number, 8020);
        QCOMPARE(error.description,
                 QStringLiteral("Writing to the serial device /dev/ttyUSB0 failed: Input/output error"));
        QTRY_COMPARE(lost.size(), 1);
        QVERIFY2(lost.at(0).description.endsWith(QStringLiteral("(it was unplugged or stopped working).")),
                 qPrintable(lost.at(0).description));
        QCoreApplication::sendPostedEvents(&rig.control);
        QCOMPARE(lost.size(), 1);
    }

    // Device files: what a path names, who may open it, and the lock files.
    void missingDeviceIs8002NamingThePath() {
        Rig rig;
        const QString missing = QStringLiteral("/dev/brisvane-no-such-tty");
        const QString danglingLink = rig.locks.filePath(QStringLiteral("modem"));
        QVERIFY(QFile::link(missing, danglingLink));
        for (const QString& path : {missing, danglingLink}) {
            rig.path = path;
            const SerialError error = rig.control.setPortOpen(true);
            QCOMPARE(error.number, 8002);
            QVERIFY2(error.description.contains(path), qPrintable(error.description));
            QVERIFY(!rig.control.portOpen());
        }
    }

    void accessDecision_data() {
        using V = DeviceAccess::Verdict;
        using Groups = QList<unsigned>;
        QTest::addColumn<unsigned>("mode");
        QTest::addColumn<unsigned>("ownerUid");
        QTest::addColumn<unsigned>("userUid");
        QTest::addColumn<Groups>("groups");
        QTest::addColumn<V>("verdict");
        const unsigned chr = 020000; // a character device: the type bits must not matter
        // The device's group is always 20 (dialout).
        QTest::newRow("root, no bits at all") << chr << 0u << 0u << Groups{0} << V::Allowed;
        QTest::newRow("in dialout") << (chr | 0660) << 0u << 1000u << Groups{1000, 20} << V::Allowed;
        QTest::newRow("not in dialout") << (chr | 0660) << 0u << 1000u << Groups{1000, 24} << V::JoinGroup;
        QTest::newRow("open to all") << (chr | 0666) << 0u << 1000u << Groups{1000} << V::Allowed;
        QTest::newRow("others may only write") << (chr | 0662) << 0u << 1000u << Groups{1000} << V::JoinGroup;
        QTest::newRow("group may only read") << (chr | 0640) << 0u << 1000u << Groups{1000} << V::AskAdministrator;
        QTest::newRow("in a group that may only read")
            << (chr | 0644) << 0u << 1000u << Groups{20} << V::AskAdministrator;
        QTest::newRow("owner") << (chr | 0600) << 1000u << 1000u << Groups{1000} << V::Allowed;
        QTest::newRow("owner refused by own bits")
            << (chr | 0066) << 1000u << 1000u << Groups{20} << V::AskAdministrator;
    }

    void accessDecision() {
        QFETCH(unsigned, mode);
        QFETCH(unsigned, ownerUid);
        QFETCH(unsigned, userUid);
        QFETCH(QList<unsigned>, groups);
        QTEST(DeviceAccess::decide(mode, ownerUid, 20, userUid, groups), "verdict");
    }

    void refusalNamesTheDevicesGroup() {
        // A device owned by root:dialout, as a user outside that group sees it.
        const group* dialout = ::getgrnam("dialout");
        QTemporaryDir dir;
        const QString device = dir.filePath(QStringLiteral("ttyACM0"));
        const QByteArray native = QFile::encodeName(device);
        writeFile(device, QByteArray());
        if (!dialout || ::chown(native.constData(), 0, dialout->gr_gid) != 0) {
            QSKIP("needs a dialout group and the right to give it a file");
        }
        QVERIFY(::chmod(native.constData(), 0660) == 0);
        const QString alice = QStringLiteral("alice");
        const QString text = DeviceAccess::refusalFor(device, device, 1000, {1000}, alice);
        QVERIFY2(text.contains(device) && text.contains(QStringLiteral("\"dialout\"")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("sudo adduser alice dialout")), qPrintable(text));
        QVERIFY(DeviceAccess::refusalFor(device, device, 1000, {1000, dialout->gr_gid}, alice).isEmpty());

        QVERIFY(::chmod(native.constData(), 0600) == 0); // no group can grant it
        const QString noGroup = DeviceAccess::refusalFor(device, device, 1000, {1000}, alice);
        QVERIFY(noGroup.contains(device) && !noGroup.contains(QStringLiteral("adduser")));
    }

    void pidFromContent_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("pid");
        QTest::newRow("HDB") << QByteArray("      4242\n") << qint64(4242);
        QTest::newRow("bare, no line end") << QByteArray("4242") << qint64(4242);
        QTest::newRow("tab and CRLF") << QByteArray("\t4242\r\n") << qint64(4242);
        QTest::newRow("Qt lock file") << QByteArray("4242\nminiterm\nhost\n") << qint64(4242);
        QTest::newRow("binary") << binary(4242) << qint64(4242);
        QTest::newRow("ASCII of four bytes") << QByteArray("123\n") << qint64(123);
        QTest::newRow("empty") << QByteArray() << qint64(0);
        QTest::newRow("text") << QByteArray("locked\n") << qint64(0);
        QTest::newRow("number glued to text") << QByteArray("42abc\n") << qint64(0);
        QTest::newRow("zero") << hdb(0) << qint64(0);
        QTest::newRow("negative") << QByteArray("-42\n") << qint64(0);
        QTest::newRow("too long") << QByteArray("99999999999\n") << qint64(0);
        QTest::newRow("binary negative") << binary(-5) << qint64(0);
    }

    void pidFromContent() {
        QFETCH(QByteArray, content);
        QTEST(DeviceLock::pidFromContent(content), "pid");
    }

    void foreignLockDecidesTheOpen_data() {
        QTest::addColumn<bool>("underLink");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<int>("error");
        QTest::newRow("live, device's name") << false << QStringLiteral("hdb") << 0 << 8005;
        QTest::newRow("live, link's name") << true << QStringLiteral("hdb") << 0 << 8005;
        QTest::newRow("live, Qt lock file") << false << QStringLiteral("qt") << 0 << 8005;
        QTest::newRow("live, binary") << false << QStringLiteral("binary") << 0 << 8005;
        QTest::newRow("live, old") << false << QStringLiteral("hdb") << 3600 << 8005;
        QTest::newRow("dead, device's name") << false << QStringLiteral("dead") << 0 << 0;
        QTest::newRow("dead, link's name") << true << QStringLiteral("dead") << 0 << 0;
        QTest::newRow("garbage, recent") << false << QStringLiteral("garbage") << 0 << 8005;
        QTest::newRow("garbage, old") << false << QStringLiteral("garbage") << 60 << 0;
        QTest::newRow("empty, recent") << true << QStringLiteral("empty") << 0 << 8005;
    }

    void foreignLockDecidesTheOpen() {
        QFETCH(bool, underLink);
        QFETCH(QString, kind);
        QFETCH(int, ageSeconds);
        QFETCH(int, error);
        Rig rig;
        // Opened by a link, as a /dev/serial/by-id name is.
        rig.path = rig.locks.filePath(QStringLiteral("modem"));
        QVERIFY(QFile::link(rig.pty.devicePath(), rig.path));
        LiveProcess other;
        const QHash<QString, QByteArray> contents{
            {QStringLiteral("hdb"), hdb(other.pid)},
            {QStringLiteral("qt"), QByteArray::number(other.pid) + "\nminiterm\nhost\n"},
            {QStringLiteral("binary"), binary(other.pid)},
            {QStringLiteral("dead"), hdb(deadPid())},
            {QStringLiteral("garbage"), QByteArray("locked by me\n")},
            {QStringLiteral("empty"), QByteArray()},
        };
        const QString lock = rig.lockFile(underLink ? rig.path : rig.pty.devicePath());
        writeFile(lock, contents.value(kind), ageSeconds);

        const SerialError result = rig.control.setPortOpen(true);
        QCOMPARE(result.number, error);
        QCOMPARE(rig.control.portOpen(), error == 0);
        if (error) {
            const QString& text = result.description;
            QVERIFY2(text.contains(rig.path) && text.contains(rig.pty.devicePath()), qPrintable(text));
            QVERIFY2(kind == QLatin1String("garbage") || kind == QLatin1String("empty") ||
                         text.contains(QString::number(other.pid)),
                     qPrintable(text));
            QCOMPARE(readFile(lock), contents.value(kind)); // a held lock is never touched
        } else {
            QCOMPARE(readFile(rig.lockFile(rig.pty.devicePath())), hdb(::getpid()));
            QVERIFY(!underLink || !QFileInfo::exists(lock));
        }
    }

    void heldErrorNamesAProgramWithTheDeviceOpen() {
        Rig rig;
        LiveProcess other; // has the device open: its parent had when it forked
        const SerialError error = rig.control.heldError();
        QCOMPARE(error.number, 8005);
        const QString program = DeviceHolders::programName(other.pid);
        QVERIFY2(!program.isEmpty() &&
                     error.description.contains(QStringLiteral("\"%1\" (process %2)").arg(program).arg(other.pid)),
                 qPrintable(error.description));
    }

    void anotherControlInThisProcess_data() {
        QTest::addColumn<bool>("sameLockFolder");
        QTest::newRow("same lock folder") << true;
        QTest::newRow("other lock folder") << false; // only the serial port's own lock is left to refuse
    }

    void anotherControlInThisProcess() {
        QFETCH(bool, sameLockFolder);
        Rig rig;
        QTemporaryDir otherLocks;
        auto second = rig.another(sameLockFolder ? rig.locks.path() : otherLocks.path());
        QVERIFY(opened(rig.control));
        const SerialError error = second->setPortOpen(true);
        QCOMPARE(error.number, 8005);
        QVERIFY2(error.description.contains(rig.pty.devicePath()), qPrintable(error.description));
        QVERIFY(!second->portOpen());
        QCOMPARE(readFile(rig.lockFile(rig.pty.devicePath())), hdb(::getpid())); // still ours
        rig.control.setPortOpen(false);
        QVERIFY(opened(*second));
    }

    void ownLockOnlyWhileOpen() {
        Rig rig;
        const QString lock = rig.lockFile(rig.pty.devicePath());
        QVERIFY(opened(rig.control));
        QCOMPARE(readFile(lock), hdb(::getpid()));
        rig.control.setPortOpen(false);
        QVERIFY(!QFileInfo::exists(lock));

        auto second = rig.another(rig.locks.path());
        QVERIFY(opened(*second));
        QVERIFY(QFileInfo::exists(lock));
        second.reset();
        QVERIFY(!QFileInfo::exists(lock));

        // A folder that takes no lock file does not stop the open.
        rig.control.setLockDirectory(rig.locks.filePath(QStringLiteral("missing")));
        QVERIFY(opened(rig.control));
    }

    void ownLockSharesTheSerialPortsFolder() {
        // In use the lock folder is the one where the serial port writes its own lock file.
        const QString folder = QStringLiteral("/var/lock");
        if (!QFileInfo(folder).isWritable()) {
            QSKIP("/var/lock is not writable here");
        }
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        Rig rig;
        rig.control.setLockDirectory(folder);
        const QString lock = folder + QLatin1Char('/') + DeviceLock::fileNameFor(rig.pty.devicePath());
        QVERIFY(opened(rig.control));
        QCOMPARE(readFile(lock), hdb(::getpid()));
        rig.control.setPortOpen(false);
        QVERIFY(!QFileInfo::exists(lock));
    }
};

QTEST_GUILESS_MAIN(TestSerialControl)
#include "tst_serialcontrol.moc"
