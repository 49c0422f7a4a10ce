#include "VirtualModemProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTest>

namespace {

// Writes `bytes` to the port and reads until `expected` has arrived, or the deadline passes.
QByteArray exchange(QSerialPort& port, const QByteArray& bytes, const QByteArray& expected, int timeoutMs = 5000) {
    port.write(bytes);
    QByteArray received;
    const QDeadlineTimer deadline(timeoutMs);
    // Events keep running meanwhile, so the modem process's output is read as it comes.
    while (!received.contains(expected) && !deadline.hasExpired()) {
        QTest::qWait(5);
        received += port.readAll();
    }
    return received;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool openPort(QSerialPort& port, const QString& path) {
    port.setPortName(path);
    port.setBaudRate(9600);
    return port.open(QIODevice::ReadWrite);
}

} // namespace

// The program itself, headless, as a host and a test harness meet it: a real pseudo-terminal
// to open, its published name, the traffic on standard output, the capture file, its commands
// and its ways of ending.
class TestVmodemProcess : public QObject {
    Q_OBJECT
private slots:
    void talksOverItsPseudoTerminal();
    void drivenCallsReachTheHost();
    void badCommandsAreReportedAndSkipped();
    void endsAtEndOfInputUnlessScripted();
    void endsOnTerminationSignal();
    void neverReplacesARegularFile();
    void playsItsPersona();
};

void TestVmodemProcess::talksOverItsPseudoTerminal() {
    VirtualModemProcess modem;
    const QString link = modem.folder() + QStringLiteral("/modem");
    const QString log = modem.folder() + QStringLiteral("/traffic.log");
    // A link left behind by an earlier run is replaced.
    QVERIFY(QFile::link(QStringLiteral("/dev/null/gone"), link));
    QVERIFY2(modem.start({QStringLiteral("--link"), link, QStringLiteral("--log"), log}),
             qPrintable(modem.errorOutput()));
    QVERIFY(modem.ptyPath().startsWith(QLatin1String("/dev/pts/")));
    QCOMPARE(modem.outputLines().value(0), QStringLiteral("PTY ") + modem.ptyPath());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), modem.ptyPath());

    QByteArray sent;
    {
        QSerialPort port;
        QVERIFY2(openPort(port, link), qPrintable(port.errorString()));
        QCOMPARE(exchange(port, "AT\r", "OK\r\n"), QByteArray("AT\r\r\nOK\r\n"));
        QCOMPARE(exchange(port, "ATE0\r", "OK\r\n"), QByteArray("ATE0\r\r\nOK\r\n"));
        QCOMPARE(exchange(port, "at#cls=8#vls=6#cid=1\r", "OK\r\n"), QByteArray("\r\nOK\r\n"));
        sent = "AT\rATE0\rat#cls=8#vls=6#cid=1\r";
    }
    // The host goes away and comes back: same line, same modem.
    QVERIFY(modem.waitForOutput(QStringLiteral("the host closed the line")));
    {
        QSerialPort port;
        QVERIFY2(openPort(port, modem.ptyPath()), qPrintable(port.errorString()));
        QCOMPARE(exchange(port, "ATZ\r", "OK\r\n"), QByteArray("\r\nOK\r\n"));
        QCOMPARE(exchange(port, "AT\r", "OK\r\n"), QByteArray("AT\r\r\nOK\r\n"));
        sent += "ATZ\rAT\r";
    }
    QVERIFY(modem.waitForHostBytes(sent));
    QCOMPARE(modem.hostBytes(), sent);
    QVERIFY(modem.waitForModemBytes("\r\nOK\r\nAT\r\r\nOK\r\n"));
    QVERIFY(modem.modemBytes().endsWith("\r\nOK\r\nAT\r\r\nOK\r\n"));
    QVERIFY(modem.waitForOutput(QStringLiteral(" host> \"ATZ\\r\"")));

    QVERIFY(modem.stop());
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    const QByteArray logged = logFile.readAll();
    QVERIFY(logged.contains(" host> \"ATZ\\r\"\n"));
    QVERIFY(logged.contains(" modem> \"\\r\\nOK\\r\\n\"\n"));
}

void TestVmodemProcess::drivenCallsReachTheHost() {
    VirtualModemProcess modem;
    QVERIFY(modem.start({QStringLiteral("--answer-after"), QStringLiteral("manual"), QStringLiteral("--ring-interval"),
                         QStringLiteral("0.2")}));
    QSerialPort port;
    QVERIFY(openPort(port, modem.ptyPath()));
    QVERIFY(exchange(port, "ATE0S8=0#CLS=8#VLS=6#CID=1\r", "OK\r\n").endsWith("\r\nOK\r\n"));

    modem.command(QStringLiteral("ring 5551234 SMITH, ANN"));
    const QByteArray ringing = exchange(port, {}, "NAME = SMITH, ANN\r\n");
    QVERIFY(ringing.startsWith("\r\nRING\r\n\r\nDATE = "));
    QVERIFY(ringing.contains("\r\nNMBR = 5551234\r\nNAME = SMITH, ANN\r\n"));
    QVERIFY(exchange(port, "ATA\r", "VCON\r\n").endsWith("\r\nVCON\r\n"));
    modem.command(QStringLiteral("hangup"));
    QVERIFY(exchange(port, {},
                     "\x10"
                     "b")
                .contains("\x10"
                          "b"));
    QVERIFY(exchange(port, "ATH\r", "OK\r\n").endsWith("\r\nOK\r\n"));

    port.write("ATDT*67,5551234\r");
    QVERIFY(modem.waitForOutput(QStringLiteral("note: the far end rings")));
    modem.command(QStringLiteral("answer"));
    QVERIFY(exchange(port, {}, "VCON\r\n").endsWith("\r\nVCON\r\n"));
    modem.command(QStringLiteral("send \\r\\nHELLO\\r\\n"));
    QVERIFY(exchange(port, {}, "HELLO").contains("\r\nHELLO\r\n"));
    QVERIFY(modem.modemBytes().contains("\r\nHELLO\r\n"));
}

void TestVmodemProcess::badCommandsAreReportedAndSkipped() {
    VirtualModemProcess modem;
    QVERIFY(modem.start());
    modem.command(QStringLiteral("frobnicate"));
    modem.command(QStringLiteral("answer"));
    modem.command(QStringLiteral("ring"));
    QVERIFY(modem.waitForErrorOutput(QStringLiteral("stdin:1: unknown command \"frobnicate\"")));
    QVERIFY(modem.waitForErrorOutput(QStringLiteral("stdin:2: no outgoing call")));
    QVERIFY(modem.waitForOutput(QStringLiteral("note: incoming call")));
    QVERIFY(modem.isRunning());
    QVERIFY(modem.stop());
}

void TestVmodemProcess::endsAtEndOfInputUnlessScripted() {
    VirtualModemProcess driven;
    QVERIFY(driven.start());
    driven.closeInput();
    QVERIFY(driven.waitForExit());
    QCOMPARE(driven.exitCode(), 0);

    VirtualModemProcess scripted;
    const QString script = scripted.folder() + QStringLiteral("/calls.txt");
    QVERIFY(writeFile(script, "# an unanswered caller\nring 5550000 SCRIPT\nwait 0.05\nstopring\n"));
    QVERIFY(scripted.start({QStringLiteral("--script"), script}));
    scripted.closeInput();
    QVERIFY(scripted.waitForOutput(QStringLiteral("note: the caller hung up")));
    QVERIFY(scripted.isRunning());
    QVERIFY(scripted.stop());
}

void TestVmodemProcess::endsOnTerminationSignal() {
    VirtualModemProcess modem;
    const QString link = modem.folder() + QStringLiteral("/modem");
    QVERIFY(modem.start({QStringLiteral("--link"), link}));
    QVERIFY(QFileInfo(link).isSymLink());
    modem.terminate();
    QVERIFY(modem.waitForExit());
    QCOMPARE(modem.exitStatus(), QProcess::NormalExit);
    QCOMPARE(modem.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestVmodemProcess::neverReplacesARegularFile() {
    VirtualModemProcess modem;
    const QString path = modem.folder() + QStringLiteral("/precious");
    QVERIFY(writeFile(path, "keep me"));
    QVERIFY(!modem.start({QStringLiteral("--link"), path}));
    QVERIFY(modem.waitForExit());
    QVERIFY(modem.exitCode() != 0);
    QVERIFY(modem.errorOutput().contains(QLatin1String("not a symbolic link")));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestVmodemProcess::playsItsPersona() {
    VirtualModemProcess modem;
    QVERIFY(modem.start({QStringLiteral("--persona"), QStringLiteral("usr5637")}));
    QVERIFY(modem.waitForOutput(QStringLiteral("note: persona usr5637")));
    QVERIFY(modem.waitForOutput(QStringLiteral("note: usr5637 modem on ") + modem.ptyPath()));
    QVERIFY(modem.stop());
    QVERIFY(modem.outputLines().last().endsWith(QLatin1String("note: usr5637 modem switched off")));
}

QTEST_GUILESS_MAIN(TestVmodemProcess)
#include "tst_vmodem_process.moc"
