#include "BrisvaneProcess.h"
#include "PhoneLine.h"
#include "TempStore.h"
#include "VirtualModemProcess.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

namespace {

const QByteArray Init("AT#CLS=8#VLS=6#CID=1\r");
const QString PortClosed = QStringLiteral("the host closed the line");
using namespace BrisvaneProcess;

// The modem started, and Brisvane on it with "AutoOn" "True": true once the modem has the
// initialisation line.
bool startAttached(QProcess& brisvane, VirtualModemProcess& modem, TempStore& config) {
    if (!modem.start()) {
        return false;
    }
    PhoneLine::storeModem(config.store(), modem.ptyPath());
    launch(brisvane, config.folder());
    return modem.waitForHostBytes(Init, StartMs);
}

// Ends a Brisvane that is still there: one showing the message box of a refused start, or one
// that outlived its unload.
void kill(QProcess& brisvane) {
    brisvane.kill();
    brisvane.waitForFinished(ExitMs);
}

} // namespace

// Both programs as processes, as a user runs them: Brisvane on the offscreen platform with a
// configuration folder of its own, the virtual modem headless.
class TestE2eProcess : public QObject {
    Q_OBJECT
private slots:
    void attachesAtStartAndLetsGoOnTermination();
    void secondProgramLeavesTheModemAlone();
};

void TestE2eProcess::attachesAtStartAndLetsGoOnTermination() {
    VirtualModemProcess modem;
    TempStore config;
    QProcess brisvane;
    QVERIFY2(startAttached(brisvane, modem, config), qPrintable(modem.errorOutput()));
    QCOMPARE(modem.hostBytes(), Init);

    // Handled as closing the window: "ATZ", then three seconds for the modem before the port closes.
    QElapsedTimer closing;
    closing.start();
    brisvane.terminate();
    QVERIFY(modem.waitForOutput(PortClosed, UnloadMs));
    // Brisvane counts its seconds by the time of day: a little leeway against this clock.
    QVERIFY2(closing.elapsed() >= 2900, qPrintable(QString::number(closing.elapsed())));
    QVERIFY(modem.waitForHostBytes(Init + "ATZ\r"));
    QCOMPARE(modem.hostBytes(), Init + "ATZ\r");
    // Sent as soon as the line came, the signal lands in the load's one-second wait: the program
    // still ends.
    QVERIFY(waitForExit(brisvane));
    QCOMPARE(brisvane.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brisvane.exitCode(), 0);
    kill(brisvane);
}

void TestE2eProcess::secondProgramLeavesTheModemAlone() {
    VirtualModemProcess modem;
    TempStore config;
    QProcess first;
    QVERIFY2(startAttached(first, modem, config), qPrintable(modem.errorOutput()));

    // A second telephone (settings of its own; a start with the same settings hands over to the
    // first) on the same modem. The device is locked by the first: the second is refused (8005)
    // and shows its message box. Offscreen, the box leaves one trace, a warning as it takes its
    // size; without it, the wait ends at its deadline and the check below stands all the same.
    TempStore otherConfig;
    PhoneLine::storeModem(otherConfig.store(), modem.ptyPath());
    QProcess second;
    launch(second, otherConfig.folder());
    QByteArray errors;
    VirtualModemProcess::waitUntil(
        [&] {
            errors += second.readAllStandardError();
            return errors.contains("propagateSizeHints") || second.state() == QProcess::NotRunning;
        },
        StartMs);
    QCOMPARE(second.state(), QProcess::Running);
    QCOMPARE(modem.hostBytes(), Init);

    // The first lets go of the device (and its lock) before it is made to end.
    kill(second);
    first.terminate();
    QVERIFY(modem.waitForOutput(PortClosed, UnloadMs));
    kill(first);
}

QTEST_GUILESS_MAIN(TestE2eProcess)
#include "tst_e2e_process.moc"
