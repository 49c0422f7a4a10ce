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
    void newestFirstWithoutSorting_data();
    void newestFirstWithoutSorting();
    void texts_data();
    void texts();
    void whenText_data();
    void whenText();
    void whatARowAllows_data();
    void whatARowAllows();
    void rowsAreFetchedAsNeeded();
    void aChangeIsShownKeepingTheFetchedRows();
    void missedCallsAreSeenWhileInFront();
    void exportTo_data();
    void exportTo();

private:
    // One call a minute from 2026-12-01 10:00 UTC on, in this order.
    void add(D direction, O outcome, const QString& number, const QString& name = {}, std::optional<int> seconds = {});
    QStringList numbers(const CallList& list) const;

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

QStringList TestCallList::numbers(const CallList& list) const {
    QStringList shown;
    for (int row = 0; row < list.rowCount(); ++row) {
        shown << list.data(list.index(row, CallList::Number)).toString();
    }
    return shown;
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
    QTest::newRow("search within a filter") << Filter::Missed << "SMITH" << list("2");
    QTest::newRow("nothing found") << Filter::All << "zz" << QStringList();
}

void TestCallList::filterAndSearch() {
    QFETCH(Filter, filter);
    QFETCH(QString, search);
    QFETCH(QStringList, shown);
    add(D::In, O::Answered, QStringLiteral("1"), QStringLiteral("SMITH,JOHN"));
    add(D::In, O::Missed, QStringLiteral("2"), QStringLiteral("Smith"));
    add(D::In, O::Blocked, QStringLiteral("3"), QStringLiteral("AXB"));
    add(D::Out, O::Connected, QStringLiteral("4"), QStringLiteral("A_B"));
    add(D::Out, O::Unanswered, QStringLiteral("5"), QStringLiteral("100% ok"));
    add(D::In, O::Missed, QStringLiteral("6"), QStringLiteral("O'BRIEN"));
    add(D::In, O::Answered, QStringLiteral("7"), QStringLiteral("C\\D"));
    CallList list(*m_history);
    list.setFilter(filter);
    list.setSearch(search);
    QCOMPARE(numbers(list), shown);
}

void TestCallList::newestFirstWithoutSorting_data() {
    QTest::addColumn<Filter>("filter");
    QTest::addColumn<bool>("searching");
    QTest::newRow("all") << Filter::All << false;
    QTest::newRow("missed") << Filter::Missed << false;
    QTest::newRow("blocked, searched") << Filter::Blocked << true;
}

// However long the history, the first rows come without a sort of the whole table: SQLite walks
// the index of the times backwards.
void TestCallList::newestFirstWithoutSorting() {
    QFETCH(Filter, filter);
    QFETCH(bool, searching);
    QSqlQuery query(m_history->database());
    QVERIFY(query.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + CallList::statement(filter, searching)));
    for (int i = 0; searching && i < 2; ++i) {
        query.addBindValue(QStringLiteral("%1%"));
    }
    QVERIFY(query.exec());
    QStringList plan;
    while (query.next()) {
        plan << query.value(3).toString();
    }
    QCOMPARE(plan, QStringList{QStringLiteral("SCAN calls USING INDEX calls_started")});
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
        << D::In << O::Blocked << none << "O O" << list("Blocked|call|in  Out|of|area ");
    QTest::newRow("out, no time") << D::Out << O::Connected << std::optional<int>(0) << "911 "
                                  << list("Call|out  911 0:00");
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
    QTest::newRow("just after midnight") << QDateTime(today, QTime(0, 0, 1)) << "00:00";
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
    QTest::newRow("out of area") << "O" << false << true;
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

void TestCallList::rowsAreFetchedAsNeeded() {
    QSqlDatabase db = m_history->database();
    QVERIFY(db.transaction());
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO calls (direction, outcome, number) VALUES ('in', 'answered', ?)"));
    for (int i = 0; i < 2000; ++i) {
        insert.addBindValue(QString::number(i));
        QVERIFY(insert.exec());
    }
    QVERIFY(db.commit());
    CallList list(*m_history);
    QVERIFY(list.rowCount() > 0 && list.rowCount() < 2000);
    QVERIFY(list.canFetchMore());
    QCOMPARE(list.rowOf(1), -1); // the oldest is not fetched, and not looked for
}

void TestCallList::aChangeIsShownKeepingTheFetchedRows() {
    for (int i = 0; i < 600; ++i) {
        add(D::Out, O::Connected, QString::number(i));
    }
    CallList list(*m_history);
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
    QCOMPARE(m_history->unseenMissed(), 1);
    list.setInFrontOfUser(true);
    QCOMPARE(m_history->unseenMissed(), 0);
    add(D::In, O::Missed, QStringLiteral("2"));
    QCOMPARE(m_history->unseenMissed(), 0);
    list.setInFrontOfUser(false);
    add(D::In, O::Missed, QStringLiteral("3"));
    QCOMPARE(m_history->unseenMissed(), 1);
}

void TestCallList::exportTo_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("written");
    QTest::newRow("a new file") << "calls.csv" << true;
    QTest::newRow("a folder that is not there") << "none/calls.csv" << false;
    QTest::newRow("a folder in the way") << "." << false;
}

void TestCallList::exportTo() {
    QFETCH(QString, file);
    QFETCH(bool, written);
    add(D::In, O::Missed, QStringLiteral("4075551212"), QStringLiteral("SMITH,JOHN"));
    const CallList list(*m_history);
    QString problem;
    const QString path = m_dir->filePath(file);
    QCOMPARE(list.exportTo(path, &problem), written);
    QCOMPARE(problem.isEmpty(), written);
    if (written) {
        QFile csv(path);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().count('\n'), 2);
    }
}

QTEST_GUILESS_MAIN(TestCallList)
#include "tst_calllist.moc"
