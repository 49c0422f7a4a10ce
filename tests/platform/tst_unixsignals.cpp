#include "platform/UnixSignals.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

// Termination signals reach the program as Qt signals on its event loop, each one.
class TestUnixSignals : public QObject {
    Q_OBJECT
private slots:
    void deliveredOnTheEventLoop_data();
    void deliveredOnTheEventLoop();
    void signalsThatComeTogetherAreEachDelivered();
    void theDefaultHandlingReturnsWithTheWatcher();
};

void TestUnixSignals::deliveredOnTheEventLoop_data() {
    QTest::addColumn<int>("number");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestUnixSignals::deliveredOnTheEventLoop() {
    QFETCH(int, number);
    UnixSignals watcher;
    QSignalSpy spy(&watcher, &UnixSignals::terminationRequested);
    QCOMPARE(::raise(number), 0);
    QCOMPARE(spy.count(), 0); // not from inside the handler
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), number);
}

void TestUnixSignals::signalsThatComeTogetherAreEachDelivered() {
    // The telephone closes its window on the first and ends at once on the second.
    UnixSignals watcher;
    QSignalSpy spy(&watcher, &UnixSignals::terminationRequested);
    QCOMPARE(::raise(SIGTERM), 0);
    QCOMPARE(::raise(SIGINT), 0);
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
    QCOMPARE(spy.at(1).at(0).toInt(), SIGINT);
}

void TestUnixSignals::theDefaultHandlingReturnsWithTheWatcher() {
    { UnixSignals watcher; }
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction action {};
        QCOMPARE(::sigaction(number, nullptr, &action), 0);
        QVERIFY(action.sa_handler == SIG_DFL);
    }
}

QTEST_GUILESS_MAIN(TestUnixSignals)
#include "tst_unixsignals.moc"
