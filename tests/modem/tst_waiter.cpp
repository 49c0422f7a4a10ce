#include "modem/Clock.h"
#include "modem/Waiter.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <ctime>

// The program's timed waits: events run during them, handlers nest, and nothing spins.
class TestWaiter : public QObject {
    Q_OBJECT
private slots:
    void delayLastsAtLeastItsTime();
    void delayOfZeroReturnsAtOnce();
    void eventsRunDuringTheWait();
    void nestedWaitsUnwindInOrder();
    void conditionEndsTheWaitWhenANestedHandlerChangesIt();
    void conditionAlreadyTrueReturnsAtOnce();
    void waitDoesNotSpinTheProcessor();
    void applicationExitAbortsEveryWait();
};

void TestWaiter::delayLastsAtLeastItsTime() {
    ScaledClock clock(100); // 5 program seconds take 50 ms
    Waiter waiter(clock);
    const double start = clock.now();
    QVERIFY(waiter.delay(5));
    QVERIFY(clock.now() - start > 5.0);
    QVERIFY(clock.now() - start < 5.0 + 0.5 * 100); // and not wildly longer
}

void TestWaiter::delayOfZeroReturnsAtOnce() {
    ScaledClock clock(100);
    Waiter waiter(clock);
    QElapsedTimer t;
    t.start();
    QVERIFY(waiter.delay(0));
    QVERIFY(t.elapsed() < 1000);
}

void TestWaiter::eventsRunDuringTheWait() {
    ScaledClock clock(100);
    Waiter waiter(clock);
    bool ran = false;
    QTimer::singleShot(5, [&] { ran = true; });
    QVERIFY(waiter.delay(2));
    QVERIFY(ran);
}

void TestWaiter::nestedWaitsUnwindInOrder() {
    ScaledClock clock(100);
    Waiter waiter(clock);
    QStringList order;
    int maxDepth = 0;
    QTimer::singleShot(1, [&] {
        maxDepth = waiter.depth();
        waiter.delay(1); // inner wait, ends after the outer's deadline would have passed
        order << QStringLiteral("inner");
    });
    const double start = clock.now();
    waiter.delay(0.5);
    order << QStringLiteral("outer");
    QCOMPARE(order, QStringList({QStringLiteral("inner"), QStringLiteral("outer")}));
    QCOMPARE(maxDepth, 1);
    QVERIFY(clock.now() - start > 1.0);
    QCOMPARE(waiter.depth(), 0);
}

void TestWaiter::conditionEndsTheWaitWhenANestedHandlerChangesIt() {
    ScaledClock clock(100);
    Waiter waiter(clock);
    bool connected = false;
    QTimer::singleShot(20, [&] { connected = true; });
    QElapsedTimer t;
    t.start();
    QCOMPARE(waiter.waitUntil([&] { return connected; }), Waiter::Result::Done);
    QVERIFY(t.elapsed() < 2000);

    bool never = false;
    QCOMPARE(waiter.waitUntil([&] { return never; }, 1), Waiter::Result::TimedOut);
}

void TestWaiter::conditionAlreadyTrueReturnsAtOnce() {
    ScaledClock clock(1);
    Waiter waiter(clock);
    QCOMPARE(waiter.waitUntil([] { return true; }, 10), Waiter::Result::Done);
}

void TestWaiter::waitDoesNotSpinTheProcessor() {
    SystemClock clock;
    Waiter waiter(clock);
    const std::clock_t cpuBefore = std::clock();
    bool never = false;
    waiter.waitUntil([&] { return never; }, 0.5);
    const double cpuSeconds = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    // A spinning wait would use the whole half second; a sleeping one almost nothing.
    QVERIFY2(cpuSeconds < 0.25, qPrintable(QString::number(cpuSeconds)));
}

void TestWaiter::applicationExitAbortsEveryWait() {
    ScaledClock clock(1);
    Waiter waiter(clock);
    Waiter::Result inner = Waiter::Result::Done;
    QTimer::singleShot(5, [&] {
        QTimer::singleShot(5, [] { QCoreApplication::exit(0); });
        inner = waiter.waitUntil([] { return false; }, 60);
    });
    QElapsedTimer t;
    t.start();
    QCOMPARE(waiter.waitUntil([] { return false; }, 60), Waiter::Result::Aborted);
    QCOMPARE(inner, Waiter::Result::Aborted);
    QVERIFY(t.elapsed() < 5000);
    // Later waits return at once instead of looping.
    QVERIFY(!waiter.delay(10));
}

QTEST_GUILESS_MAIN(TestWaiter)
#include "tst_waiter.moc"
