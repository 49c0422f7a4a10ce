#include "PhoneLine.h"
#include "call/CallControl.h"
#include "call/ServiceButtons.h"
#include "console/Phone.h"
#include "console/PhoneFace.h"
#include "console/SettingKeys.h"
#include "console/SettingsStore.h"
#include "history/CallHistory.h"
#include "history/CallRecorder.h"

#include <QSqlQuery>
#include <QtTest>

// What the history keeps of each kind of call, made over the scripted line as the user and the
// modem make it.
namespace {

enum class Scenario {
    AnsweredBySend,
    AnsweredAutomatically,
    AnsweredFromNotification,
    Missed,
    Blocked,
    BlockedAndHungUp,
    BlockedPickedUp,
    PrivateBlockedAsAClass,
    PrivateOnTheList,
    OutConnected,
    OutUnanswered,
    ServiceCode,
    ModemLostMidCall,
};

const QByteArray Report = "\r\nRING\r\n\r\nNMBR = 4075551212\r\nNAME = SMITH,JOHN\r\n";
const QByteArray Vcon = "\r\nVCON\r\n";

// Each row of the table, as text: direction, outcome, number, name, and whether it has a length.
QStringList rows(const CallHistory& history) {
    QSqlQuery query(history.database());
    query.exec(QStringLiteral("SELECT direction, outcome, number, name, seconds IS NOT NULL FROM calls ORDER BY id"));
    QStringList rows;
    while (query.next()) {
        rows << QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                         query.value(3).toString(), query.value(4).toBool() ? QStringLiteral("timed") : QString());
    }
    return rows;
}

} // namespace

class TestCallRecorder : public QObject {
    Q_OBJECT
private slots:
    void outcomes_data();
    void outcomes();
    void aCallerDuringACallIsRecordedOnItsOwn();
};

void TestCallRecorder::outcomes_data() {
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<QByteArray>("row");
    const auto caller = [](const QByteArray& outcome, const QByteArray& timed) {
        return "in " + outcome + " 4075551212 SMITH,JOHN " + timed;
    };
    QTest::newRow("answered by Send") << Scenario::AnsweredBySend << caller("answered", "timed");
    QTest::newRow("answered automatically") << Scenario::AnsweredAutomatically << caller("answered", "timed");
    QTest::newRow("answered from a notification") << Scenario::AnsweredFromNotification << caller("answered", "timed");
    QTest::newRow("missed") << Scenario::Missed << caller("missed", "");
    QTest::newRow("blocked") << Scenario::Blocked << caller("blocked", "");
    QTest::newRow("blocked, hung up on") << Scenario::BlockedAndHungUp << caller("blocked", "");
    QTest::newRow("blocked, picked up with Send") << Scenario::BlockedPickedUp << caller("answered", "timed");
    QTest::newRow("private, blocked as a class") << Scenario::PrivateBlockedAsAClass << QByteArray("in blocked P P ");
    QTest::newRow("private, on the list") << Scenario::PrivateOnTheList << QByteArray("in blocked P P ");
    QTest::newRow("out, connected") << Scenario::OutConnected << QByteArray("out connected 5551234  timed");
    QTest::newRow("out, unanswered") << Scenario::OutUnanswered << QByteArray("out unanswered 5551234  ");
    QTest::newRow("service code") << Scenario::ServiceCode << QByteArray("out connected *69  timed");
    QTest::newRow("modem lost mid-call") << Scenario::ModemLostMidCall << QByteArray("out connected 5551234  timed");
}

void TestCallRecorder::outcomes() {
    QFETCH(Scenario, scenario);
    QFETCH(QByteArray, row);
    PhoneLine line;
    CallHistory history(line.temp.folder() + QStringLiteral("/calls.sqlite"));
    QVERIFY(history.open());
    line.services.history = &history;
    if (scenario == Scenario::AnsweredAutomatically) {
        line.store().write(Settings::AutoAns, QStringLiteral("True"));
    }
    if (scenario == Scenario::Blocked || scenario == Scenario::BlockedAndHungUp ||
        scenario == Scenario::BlockedPickedUp) {
        QVERIFY(history.block(QStringLiteral("407-555-1212")));
    }
    if (scenario == Scenario::PrivateOnTheList) {
        QVERIFY(history.block(QStringLiteral("P")));
    }
    line.store().writeSwitch(Settings::HangUpBlocked, scenario == Scenario::BlockedAndHungUp);
    line.store().writeSwitch(Settings::BlockPrivate, scenario == Scenario::PrivateBlockedAsAClass);
    QVERIFY(line.attach());
    CallControl& calls = line.phone().calls();

    switch (scenario) {
    case Scenario::AnsweredBySend:
    case Scenario::AnsweredFromNotification:
        line.answer("ATA\r", Vcon);
        QVERIFY(line.ringIn());
        scenario == Scenario::AnsweredBySend ? calls.cmdSend_Click() : calls.answerWaitingCaller();
        break;
    case Scenario::AnsweredAutomatically:
        line.answer("ATA\r", Vcon);
        QVERIFY(line.ringIn());
        QVERIFY(line.waitUntil([&] { return line.writeCount("ATA\r") == 1; }));
        break;
    case Scenario::Missed:
    case Scenario::Blocked:
    case Scenario::BlockedAndHungUp:
        line.send(Report);
        line.letPass(3);
        line.send("\r\nRING\r\n"); // still the same call
        line.letPass(CallRecorder::RingsOverSeconds + 6);
        break;
    case Scenario::PrivateBlockedAsAClass:
    case Scenario::PrivateOnTheList:
        line.send("\r\nRING\r\n\r\nNMBR = P\r\nNAME = P\r\n");
        line.letPass(CallRecorder::RingsOverSeconds + 6);
        break;
    case Scenario::BlockedPickedUp:
        // Send with an empty display picks up the line whoever rings.
        line.answer("ATA\r", Vcon);
        line.send(Report);
        line.letPass(1);
        calls.cmdSend_Click();
        break;
    case Scenario::OutConnected:
    case Scenario::ModemLostMidCall:
        line.startCall(true);
        break;
    case Scenario::OutUnanswered:
        // Nobody answers: the user gives up with End while Send waits for the connection.
        line.when("ATDT5551234\r", [&] { line.waiter.after(3, &line, [&] { calls.cmdEnd_Click(); }); });
        line.phone().face().setText(PhoneFace::Box::NumberOut, QStringLiteral("5551234"));
        calls.cmdSend_Click();
        break;
    case Scenario::ServiceCode:
        line.when("ATDT*69\r", [&] { line.send(Vcon); });
        line.phone().serviceButtons().cmdLastCall_Click();
        break;
    }
    line.letPass(2);
    if (scenario == Scenario::ModemLostMidCall) {
        calls.dropCall(CallControl::EndReason::ModemLost);
    } else if (calls.phase() != CallControl::Phase::Idle) {
        calls.cmdEnd_Click();
    }

    QCOMPARE(rows(history), QStringList{QString::fromUtf8(row)});
    if (row.contains(" blocked ")) {
        // Nothing on the display; answered (and at once hung up on) only when the user asked for it.
        QCOMPARE(line.phone().face().text(PhoneFace::Box::Name), QString());
        if (scenario == Scenario::BlockedAndHungUp) {
            QVERIFY(line.written().startsWith("ATA\rATH\r"));
            QCOMPARE(line.writeCount("ATA\r"), 1);
        } else {
            QCOMPARE(line.written(), QByteArray());
        }
    }
}

void TestCallRecorder::aCallerDuringACallIsRecordedOnItsOwn() {
    PhoneLine line;
    CallHistory history(line.temp.folder() + QStringLiteral("/calls.sqlite"));
    QVERIFY(history.open());
    line.services.history = &history;
    QVERIFY(line.attach());
    line.startCall(true);
    line.send(Report);
    line.letPass(CallRecorder::RingsOverSeconds + 6);
    line.phone().calls().cmdEnd_Click();
    QCOMPARE(rows(history), (QStringList{QStringLiteral("out connected 5551234  timed"),
                                         QStringLiteral("in missed 4075551212 SMITH,JOHN ")}));
}

QTEST_GUILESS_MAIN(TestCallRecorder)
#include "tst_callrecorder.moc"
