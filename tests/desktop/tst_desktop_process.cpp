#include "BrisvaneProcess.h"
#include "PhoneLine.h"
#include "TempStore.h"
#include "Version.h"
#include "VirtualModemProcess.h"
#include "call/NumberEntry.h"
#include "console/Phone.h"
#include "desktop/SingleTelephone.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Init("AT#CLS=8#VLS=6#CID=1\r");
const QString PortClosed = QStringLiteral("the host closed the line");
using namespace BrisvaneProcess;

} // namespace

// Both programs as a desktop and a shell start them: the command line, and a second start of
// Brisvane while one runs.
class TestDesktopProcess : public QObject {
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void secondStartLeavesTheModemToTheFirst();
    void secondStartHandsItsLinkOver_data();
    void secondStartHandsItsLinkOver();
    void waylandClient();
};

void TestDesktopProcess::commandLine_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("display");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");
    const QString brisvane = QStringLiteral("brisvane");
    const QString modem = QStringLiteral("brisvane-modem");
    const auto list = [](const char* argument) { return QStringList{QString::fromLatin1(argument)}; };
    QTest::newRow("help") << brisvane << list("--help") << true << 0
                          << "Usage: brisvane [options] [link]\nA speakerphone and dialer"
                          << "";
    // Answered without a window system.
    QTest::newRow("help without a display") << brisvane << list("-h") << false << 0 << "  -v, --version"
                                            << "";
    QTest::newRow("version") << brisvane << list("--version") << false << 0
                             << QStringLiteral("brisvane %1\n").arg(QLatin1String(brisvane::version::text)) << "";
    QTest::newRow("unknown option") << brisvane << list("--dial") << true << 2 << ""
                                    << "brisvane: Unknown option 'dial'. (try --help)\n";
    QTest::newRow("not a link") << brisvane << list("5551212") << true << 2 << ""
                                << "brisvane: not a tel: or callto: link: 5551212 (try --help)\n";
    QTest::newRow("modem help") << modem << list("--help") << false << 0 << "Usage: brisvane-modem [options]"
                                << "";
    QTest::newRow("modem version") << modem << list("-v") << false << 0
                                   << QStringLiteral("brisvane-modem %1\n").arg(QLatin1String(brisvane::version::text))
                                   << "";
    QTest::newRow("modem unknown option") << modem << list("--dial") << false << 2 << ""
                                          << "brisvane-modem: Unknown option 'dial'. (try --help)\n";
}

void TestDesktopProcess::commandLine() {
    QFETCH(QString, name);
    QFETCH(QStringList, arguments);
    QFETCH(bool, display);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    QTemporaryDir config;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), config.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), config.path());
    if (!display) {
        for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            environment.remove(QString::fromLatin1(variable));
        }
    }
    process.setProcessEnvironment(environment);
    process.start(program(name), arguments);
    QVERIFY(process.waitForFinished(ExitMs));
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    if (status == 0) {
        QVERIFY2(out.contains(output), qPrintable(out));
        QCOMPARE(err, QString());
    } else {
        QCOMPARE(out, QString());
        QVERIFY2(err.endsWith(errors), qPrintable(err));
    }
}

void TestDesktopProcess::secondStartLeavesTheModemToTheFirst() {
    VirtualModemProcess modem;
    TempStore config;
    QTemporaryDir runtime;
    QVERIFY2(modem.start(), qPrintable(modem.errorOutput()));
    PhoneLine::storeModem(config.store(), modem.ptyPath());
    QProcess first;
    launch(first, config.folder(), runtime.path());
    QVERIFY(modem.waitForHostBytes(Init, StartMs));

    // Without the hand-over the second would meet the first's device lock (8005) and wait on its
    // message box; with it, it ends at once and never opens the device.
    QProcess second;
    launch(second, config.folder(), runtime.path(), {QStringLiteral("tel:+1-407-555-1212")});
    QVERIFY(waitForExit(second));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.readAllStandardError(), QByteArray());
    QCOMPARE(modem.hostBytes(), Init);

    // The first still holds the modem: it is the one that lets it go.
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(modem.waitForOutput(PortClosed, UnloadMs));
    QCOMPARE(modem.hostBytes(), Init + "ATZ\r");
    QVERIFY(waitForExit(first));
    QCOMPARE(first.exitCode(), 0);
}

void TestDesktopProcess::secondStartHandsItsLinkOver_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("messages");
    QTest::newRow("a number") << "tel:+1-407-555-1212"
                              << "14075551212" << 0;
    QTest::newRow("percent-encoded callto") << "callto:407%20555%201212"
                                            << "4075551212" << 0;
    QTest::newRow("too long for the display") << "tel:+44-20-7946-0958-123"
                                              << "555" << 1;
}

// The running telephone is this test's own, on a scripted line, listening as the program does
// (SingleTelephone); what the program adds there is the raising of its window. The second start is
// the real program: its link crosses the socket into the number display.
void TestDesktopProcess::secondStartHandsItsLinkOver() {
    QFETCH(QString, link);
    QFETCH(QString, shown);
    QFETCH(int, messages);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    PhoneLine line;
    QVERIFY(line.attach());
    line.phone().face().setText(PhoneView::Box::NumberOut, QStringLiteral("555"));
    SystemClock clock;
    Waiter waiter(clock);
    SingleTelephone telephone(line.store().filePath(), waiter);
    QCOMPARE(telephone.start({}), SingleTelephone::Start::First);
    QStringList received;
    connect(&telephone, &SingleTelephone::argumentsReceived, this, [&](const QStringList& links) {
        received += links;
        for (const QString& each : links) {
            line.phone().numberEntry().enterLink(each);
        }
    });

    QProcess second;
    launch(second, line.temp.folder(), runtime.path(), {link});
    QVERIFY(waitForExit(second));
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE(received, QStringList{link});
    QCOMPARE(line.phone().face().text(PhoneView::Box::NumberOut), shown);
    QCOMPARE(line.messages.boxes.size(), messages);
    QCOMPARE(line.written(), QByteArray());
}

// Under a headless weston of the test's own, its socket in a private runtime folder that the
// telephone shares: the telephone's windows are native ones tied to the desktop entry, and a later
// start carrying an activation token hands over and ends cleanly. (Debian 12's weston offers no
// xdg-activation, so the token's use is checked in-process, in tst_singletelephone.)
void TestDesktopProcess::waylandClient() {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("WAYLAND_DISPLAY", "brisvane-test");
    QProcess weston;
    weston.start(QStringLiteral("weston"), {QStringLiteral("--backend=headless-backend.so"),
                                            QStringLiteral("--use-pixman"), QStringLiteral("--socket=brisvane-test")});
    QVERIFY(
        QTest::qWaitFor([&] { return QFileInfo::exists(runtime.filePath(QStringLiteral("brisvane-test"))); }, StartMs));
    TempStore config;
    // With an initialisation string stored, the first start opens no Modem Setup.
    PhoneLine::storeModem(config.store(), QStringLiteral("/dev/ttyS0"), false);
    // For a sanitized build: what Qt's Wayland plugin keeps to the end is told apart by its whole stack.
    qputenv("LSAN_OPTIONS",
            "print_suppressions=0:suppressions=" + QFile::encodeName(QFINDTESTDATA("wayland-leaks.supp")));
    qputenv("ASAN_OPTIONS", "fast_unwind_on_malloc=0");
    QProcess telephone;
    qputenv("WAYLAND_DEBUG", "client"); // the client's requests, on its standard error
    launch(telephone, config.folder(), runtime.path(), {}, QStringLiteral("wayland"));
    qunsetenv("WAYLAND_DEBUG");
    // The splash comes first, while the load waits, then the telephone.
    const QByteArray appId = QByteArrayLiteral("set_app_id(\"") + brisvane::desktopEntry + "\")";
    QByteArray requests;
    QVERIFY(QTest::qWaitFor([&] { return (requests += telephone.readAllStandardError()).count(appId) == 2; }, StartMs));

    qputenv("XDG_ACTIVATION_TOKEN", "token-of-the-launcher");
    QProcess second;
    launch(second, config.folder(), runtime.path(), {QStringLiteral("tel:5551212")}, QStringLiteral("wayland"));
    qunsetenv("XDG_ACTIVATION_TOKEN");
    QVERIFY(waitForExit(second));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.readAllStandardError(), QByteArray());
    telephone.terminate();
    QVERIFY(waitForExit(telephone));
    // A sanitizer's report, when there is one, is at the end of what it wrote.
    QVERIFY2(telephone.exitCode() == 0, telephone.readAllStandardError().right(4000).constData());
    weston.terminate();
    QVERIFY(waitForExit(weston));
}

QTEST_GUILESS_MAIN(TestDesktopProcess)
#include "tst_desktop_process.moc"
