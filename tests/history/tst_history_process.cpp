#include "BrisvaneProcess.h"
#include "desktop/SingleTelephone.h"
#include "history/CallHistory.h"
#include "modem/Clock.h"
#include "modem/Waiter.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// --export-calls, --block and --unblock as a shell runs them beside a running telephone: no display,
// and a history of the test's own (XDG_DATA_HOME).
class TestHistoryProcess : public QObject {
    Q_OBJECT
private slots:
    void actions_data();
    void actions();
};

void TestHistoryProcess::actions_data() {
    QTest::addColumn<QString>("before"); // the history as the program finds it
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors"); // the start of standard error
    QTest::addColumn<QStringList>("blocked");
    const auto list = [](const char* text) { return QString::fromUtf8(text).split(QLatin1Char(' ')); };
    QTest::newRow("block") << "" << list("--block 555-1212 5553434") << 0 << ""
                           << "" << list("5551212 5553434");
    QTest::newRow("unblock") << "calls" << list("--unblock (555)1212 4") << 0 << ""
                             << "" << list("5553434");
    QTest::newRow("block and unblock at once")
        << "" << list("--block 1 --unblock 2") << 2 << ""
        << "brisvane: one of --export-calls, --block and --unblock at a time" << QStringList();
    QTest::newRow("export to standard output") << "calls" << list("--export-calls -") << 0
                                               << "started,direction,outcome,number,name,seconds\r\n"
                                                  "2026-05-01T08:00:00Z,in,missed,4075551212,\"SMITH,JOHN\",\r\n"
                                               << "" << list("5551212 5553434");
    QTest::newRow("export of an unreadable history")
        << "unreadable" << list("--export-calls -") << 1 << ""
        << "brisvane: The call history could not be read: " << QStringList();
    QTest::newRow("export of a damaged history")
        << "damaged" << list("--export-calls -") << 1 << ""
        << "brisvane: The call history was damaged: it is kept as " << QStringList();
}

void TestHistoryProcess::actions() {
    QFETCH(QString, before);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    QFETCH(QStringList, blocked);
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("data/brisvane/calls.sqlite"));
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (before == QLatin1String("calls")) {
        CallHistory history(path);
        QVERIFY(history.open());
        history.add({0, QDateTime::fromString(QStringLiteral("2026-05-01T08:00:00Z"), Qt::ISODate),
                     CallRecord::Direction::In, CallRecord::Outcome::Missed, QStringLiteral("4075551212"),
                     QStringLiteral("SMITH,JOHN"), std::nullopt});
        QVERIFY(history.block(QStringLiteral("5551212")) && history.block(QStringLiteral("5553434")));
    } else if (!before.isEmpty()) {
        QFile file(before == QLatin1String("damaged") ? path : QFileInfo(path).path());
        QVERIFY(QDir(file.fileName()).removeRecursively() && file.open(QIODevice::WriteOnly));
        file.write("no database");
    }
    // The events run while the program does: a hand-over would reach this telephone.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    SystemClock clock;
    Waiter waiter(clock);
    SingleTelephone telephone(home.filePath(QStringLiteral("config/Vantrel.conf")), waiter);
    QCOMPARE(telephone.start({}), SingleTelephone::Start::First);
    QSignalSpy handedOver(&telephone, &SingleTelephone::argumentsReceived);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        environment.remove(QString::fromLatin1(variable));
    }
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(BrisvaneProcess::program(QStringLiteral("brisvane")), arguments);
    QVERIFY(BrisvaneProcess::waitForExit(process));
    QCOMPARE(process.exitCode(), status);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), output);
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(errors.isEmpty() ? err.isEmpty() : err.startsWith(errors.toUtf8()), err.constData());
    QCOMPARE(handedOver.size(), 0);
    CallHistory history(path);
    QCOMPARE(history.open() ? history.blockedNumbers() : QStringList(), blocked);
}

QTEST_GUILESS_MAIN(TestHistoryProcess)
#include "tst_history_process.moc"
