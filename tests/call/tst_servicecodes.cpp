#include "TempStore.h"
#include "call/ServiceCodes.h"

#include <QTest>

using Feature = ServiceCodes::Feature;

// The network's service codes: defaults, the store's overrides, and what Cancel cancels.
class TestServiceCodes : public QObject {
    Q_OBJECT
private slots:
    void codes_data();
    void codes();
    void cancelChoice_data();
    void cancelChoice();
};

namespace {
Feature feature(QChar letter) {
    return letter == QLatin1Char('F')   ? Feature::CallForward
           : letter == QLatin1Char('R') ? Feature::Repeat
                                        : Feature::LastCaller;
}
} // namespace

void TestServiceCodes::codes_data() {
    QTest::addColumn<int>("feature");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QByteArray>("services"); // the group "Services" as a hand edit left it
    QTest::addColumn<QString>("code");
    const int f = static_cast<int>(Feature::CallForward);
    const int r = static_cast<int>(Feature::Repeat);
    const int l = static_cast<int>(Feature::LastCaller);
    QTest::newRow("Call Fwd") << f << false << QByteArray() << "*72";
    QTest::newRow("Call Fwd cancel") << f << true << QByteArray() << "*73";
    QTest::newRow("Repeat") << r << false << QByteArray() << "*66";
    QTest::newRow("Repeat cancel") << r << true << QByteArray() << "*86";
    QTest::newRow("Last Caller") << l << false << QByteArray() << "*69";
    QTest::newRow("Last Caller cancel") << l << true << QByteArray() << "*89";
    QTest::newRow("overridden") << f << true << QByteArray("CallForwardCancel=#21#\n") << "#21#";
    QTest::newRow("no second command") << r << false << QByteArray("Repeat=*66;ATZ\n") << "*66";
    QTest::newRow("empty: the network has none") << l << false << QByteArray("LastCaller=\n") << "";
    QTest::newRow("nothing dialable") << l << true << QByteArray("LastCallerCancel=none\n") << "";
}

void TestServiceCodes::codes() {
    QFETCH(int, feature);
    QFETCH(bool, cancel);
    QFETCH(QByteArray, services);
    QFETCH(QString, code);
    TempStore temp;
    temp.writeRaw("[Modem]\nPort=1\n[Services]\n" + services);
    const ServiceCodes codes(temp.store());
    const auto f = static_cast<Feature>(feature);
    QCOMPARE(cancel ? codes.cancellation(f) : codes.activation(f), code);
}

void TestServiceCodes::cancelChoice_data() {
    QTest::addColumn<QString>("activated"); // F Call Fwd, R Repeat, L Last Caller, in order
    QTest::addColumn<QString>("cancels");   // what three presses of Cancel cancel
    QTest::newRow("nothing activated") << ""
                                       << "FFF";
    QTest::newRow("Repeat") << "R"
                            << "RFF";
    QTest::newRow("Call Fwd, then Last Caller") << "FL"
                                                << "LFF";
    QTest::newRow("all three") << "FRL"
                               << "LRF";
    QTest::newRow("activated again counts once, as the latest") << "RLR"
                                                                << "RLF";
}

void TestServiceCodes::cancelChoice() {
    QFETCH(QString, activated);
    QFETCH(QString, cancels);
    TempStore temp;
    ServiceCodes codes(temp.store());
    for (const QChar letter : activated) {
        codes.activated(feature(letter));
    }
    for (const QChar letter : cancels) {
        QCOMPARE(codes.toCancel(), feature(letter));
        codes.cancelled(codes.toCancel());
    }
}

QTEST_GUILESS_MAIN(TestServiceCodes)
#include "tst_servicecodes.moc"
