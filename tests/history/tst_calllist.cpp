#include "history/CallList.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using D = CallRecord::Direction;
using O = CallRecord::Outcome;
using Filter = CallList::Filter;

namespace {
// The texts of `words`, separated by blanks ('|' stands for a blank within a text); empty texts
// stand between two blanks.
QStringList list(const char* words) {
    return QString::fromLatin1(words).split(QLatin1Char(' '));
}
} // namespace

class TestCallList : public QObject {
    Q_OBJECT
private slots:
    void init();
    void filterAndSearch_data();
    void filterAndSearch();
    void texts_data();
    void texts();
    void whenText_data();
    void whenText();
    void whatARowAllows_data();
    void whatARowAllows();
    void rowsAreFetchedAsShownAndAgainAfterAChange();
    void missedCallsAreSeenWhileInFront();

private:
    // One call a minute from 2026-12-01 10:00 UTC on, in this order.
    void add(D direction, O outcome, const QString& number, const QString& name = {}, std::optional<int> seconds = {});

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CallHistory> m_history;
    int m_added = 0;
};

void TestCallList::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_history = std::make_unique<CallHistory>(m_dir->filePath(QStringLiteral("calls.sqlite")));
    QVERIFY(m_history->open());
    m_added = 0;
}

void TestCallList::add(D direction, O outcome, const QString& number, const QString& name, std::optional<int> seconds) {
    const QDateTime started(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC);
    QVERIFY(m_history->add({0, started.addSecs(60 * m_added++), direction, outcome, number, name, seconds}));
}

void TestCallList::filterAndSearch_data() {
    QTest::addColumn<Filter>("filter");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("shown");
    const QStringList all = list("7 6 5 4 3 2 1");
    QTest::newRow("all, newest first") << Filter::All << "" << all;
    QTest::newRow("missed") << Filter::Missed << "" << list("6 2");
    QTest::newRow("blocked") << Filter::Blocked << "" << list("3");
    QTest::newRow("blank search is none") << Filter::All << "  " << all;
    QTest::newRow("name, any case") << Filter::All << "smith" << list("2 1");
    QTest::newRow("number") << Filter::All << "7" << list("7");
    QTest::newRow("percent is itself") << Filter::All << "%" << list("5");
    QTest::newRow("underscore is itself") << Filter::All << "A_B" << list("4");
    QTest::newRow("quote") << Filter::All << "O'BR" << list("6");
    QTest::newRow("backslash") << Filter::All << "C\\D" << list("7");
    QTest::newRow("words in either order") << Filter::All << "john  smith" << list("1");
    QTest::newRow("separators in a number") << Filter::All << "(7)" << list("7");
    QTest::newRow("search within a filter") << Filter::Missed << "SMITH" << list("2");
    QTest::newRow("nothing found") << Filter::All << "zz" << QStringList();
}

void TestCallList::filterAndSearch() {
    QFETCH(Filter, filter);
    QFETCH(QString, search);
    QFETCH(QStringList, shown);
    const QStringList names = list("SMITH,JOHN Smith AXB A_B 100%|ok O'BRIEN C\\D");
    const O outcomes[] = {O::Answered, O::Missed, O::Blocked, O::Connected, O::Unanswered, O::Missed, O::Answered};
    for (int i = 0; i < names.size(); ++i) {
        const D direction = outcomes[i] == O::Connected || outcomes[i] == O::Unanswered ? D::Out : D::In;
        add(direction, outcomes[i], QString::number(i + 1),
            QString(names[i]).replace(QLatin1Char('|'), QLatin1Char(' ')));
    }
    CallList calls(*m_history);
    calls.setFilter(filter);
    calls.setSearch(search);
    QStringList numbers;
    for (int row = 0; row < calls.rowCount(); ++row) {
        numbers << calls.number(row);
    }
    QCOMPARE(numbers, shown);
    // However long the history, the first rows come without sorting it: SQLite walks the index of
    // the times backwards.
    QSqlQuery plan(m_history->database());
    QVERIFY(plan.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + calls.query().lastQuery()));
    for (const QVariant& value : calls.query().boundValues()) {
        plan.addBindValue(value);
    }
    QVERIFY(plan.exec() && plan.next());
    QCOMPARE(plan.value(3).toString(), QStringLiteral("SCAN calls USING INDEX calls_started"));
    QVERIFY(!plan.next());
}

void TestCallList::texts_data() {
    QTest::addColumn<D>("direction");
    QTest::addColumn<O>("outcome");
    QTest::addColumn<std::optional<int>>("seconds");
    QTest::addColumn<QString>("recorded");  // number, name
    QTest::addColumn<QStringList>("shown"); // Call, Name, Number, Length
    const auto none = std::optional<int>();
    QTest::newRow("answered") << D::In << O::Answered << std::optional<int>(75) << "4075551212 SMITH,JOHN"
                              << list("Answered|call|in JOHN|SMITH 4075551212 1:15");
    QTest::newRow("missed, private") << D::In << O::Missed << none << "P P" << list("Missed|call|in  Private ");
    QTest::newRow("blocked, out of area")
        << D::In << O::Blocked << none << "O O" << list("Blocked|call|in  Out|of|Area ");
    QTest::newRow("out, hours") << D::Out << O::Connected << std::optional<int>(3 * 3600 + 62) << "911 "
                                << list("Call|out  911 3:01:02");
    QTest::newRow("unanswered") << D::Out << O::Unanswered << none << "911 " << list("Unanswered|call|out  911 ");
}

void TestCallList::texts() {
    QFETCH(D, direction);
    QFETCH(O, outcome);
    QFETCH(std::optional<int>, seconds);
    QFETCH(QString, recorded);
    QFETCH(QStringList, shown);
    const QStringList fields = recorded.split(QLatin1Char(' '));
    add(direction, outcome, fields.at(0), fields.at(1), seconds);
    const CallList list(*m_history);
    QStringList texts;
    for (int column = CallList::Call; column <= CallList::Length; ++column) {
        const QModelIndex index = list.index(0, column);
        QCOMPARE(list.data(index, Qt::AccessibleTextRole), list.data(index));
        texts << list.data(index).toString().replace(QLatin1Char(' '), QLatin1Char('|'));
    }
    QCOMPARE(texts, shown);
}

void TestCallList::whenText_data() {
    QTest::addColumn<QDateTime>("started");
    QTest::addColumn<QString>("shown");
    const QDate today(2026, 12, 8);
    QTest::newRow("today") << QDateTime(today, QTime(9, 5)) << "09:05";
    QTest::newRow("yesterday") << QDateTime(today.addDays(-1), QTime(23, 59)) << "Yesterday 23:59";
    QTest::newRow("older") << QDateTime(QDate(2025, 1, 31), QTime(14, 30)) << "2025-01-31 14:30";
}

void TestCallList::whenText() {
    QFETCH(QDateTime, started);
    QFETCH(QString, shown);
    // The history holds UTC; the window shows local time.
    QCOMPARE(CallList::whenText(started.toUTC(), QDateTime(QDate(2026, 12, 8), QTime(18, 0))), shown);
}

void TestCallList::whatARowAllows_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("callBack");
    QTest::addColumn<bool>("block");
    QTest::newRow("number") << "407-555-1212" << true << true;
    QTest::newRow("private") << "P" << false << true;
    QTest::newRow("none") << "" << false << false;
    QTest::newRow("not blockable") << "555;1212" << true << false;
    QTest::newRow("nothing to dial") << "UNKNOWN" << false << true;
}

void TestCallList::whatARowAllows() {
    QFETCH(QString, number);
    QFETCH(bool, callBack);
    QFETCH(bool, block);
    add(D::In, O::Missed, number);
    CallList list(*m_history);
    QCOMPARE(list.canCallBack(0), callBack);
    QCOMPARE(list.canBlock(0), block);
    QCOMPARE(list.toggleBlock(0), block);
    QCOMPARE(list.isBlocked(0), block);
    QCOMPARE(m_history->isBlocked(number), block);
    list.toggleBlock(0);
    QVERIFY(!list.isBlocked(0));
}

void TestCallList::rowsAreFetchedAsShownAndAgainAfterAChange() {
    for (int i = 0; i < 600; ++i) {
        add(D::Out, O::Connected, QString::number(i));
    }
    CallList list(*m_history);
    QVERIFY(list.rowCount() > 0 && list.rowCount() < 600 && list.canFetchMore());
    QCOMPARE(list.rowOf(1), -1); // the oldest is not fetched, nor looked for
    list.fetchMore();
    const int fetched = list.rowCount();
    QSignalSpy refreshed(&list, &CallList::refreshed);
    add(D::In, O::Missed, QStringLiteral("new"));
    QVERIFY(refreshed.wait());
    QCOMPARE(list.number(0), QStringLiteral("new"));
    QVERIFY(list.rowCount() >= fetched);
    QVERIFY(list.remove(0));
    QVERIFY(refreshed.wait());
    QCOMPARE(list.number(0), QStringLiteral("599"));
}

void TestCallList::missedCallsAreSeenWhileInFront() {
    add(D::In, O::Missed, QStringLiteral("1"));
    CallList list(*m_history);
    list.setInFrontOfUser(true);
    QCOMPARE(m_history->unseenMissed(), 0);
    add(D::In, O::Missed, QStringLiteral("2"));
    QCOMPARE(m_history->unseenMissed(), 0);
    list.setInFrontOfUser(false);
    add(D::In, O::Missed, QStringLiteral("3"));
    QCOMPARE(m_history->unseenMissed(), 1);
}

QTEST_GUILESS_MAIN(TestCallList)
#include "tst_calllist.moc"
