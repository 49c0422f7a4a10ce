#include "WindowLine.h"
#include "console/Phone.h"
#include "console/frmPhone.h"
#include "history/CallList.h"
#include "history/frmCalls.h"
#include "phonebook/PhoneBookEntries.h"
#include "windows/SideWindows.h"

#include <QAction>
#include <QPushButton>
#include <QTableView>
#include <QTest>

// The Calls window and its menu entry on the real main window.
class TestCallsWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void theEntryCountsUnseenMissedCalls_data();
    void theEntryCountsUnseenMissedCalls();
    void withoutAHistoryTheEntryIsOff();
    void buttonsActOnTheSelectedCall_data();
    void buttonsActOnTheSelectedCall();
    void clearAsksFirst();

private:
    frmCalls& open();
    void add(CallRecord::Outcome outcome, const QString& number, const QString& name = {});
    QAction& entry() { return *m_line->control<QAction>(QStringLiteral("mnuCalls")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CallHistory> m_history;
    std::unique_ptr<WindowLine> m_line;
};

void TestCallsWindow::init() {
    m_line.reset(); // the window goes before the history it shows
    m_dir = std::make_unique<QTemporaryDir>();
    m_history = std::make_unique<CallHistory>(m_dir->filePath(QStringLiteral("calls.sqlite")));
    QVERIFY(m_history->open());
    m_line = std::make_unique<WindowLine>();
    m_line->services.history = m_history.get();
}

void TestCallsWindow::add(CallRecord::Outcome outcome, const QString& number, const QString& name) {
    QVERIFY(m_history->add({0, {}, CallRecord::Direction::In, outcome, number, name, {}}));
}

frmCalls& TestCallsWindow::open() {
    entry().trigger();
    frmCalls* window = m_line->window().sideWindows().callsWindow();
    return *window;
}

void TestCallsWindow::theEntryCountsUnseenMissedCalls_data() {
    QTest::addColumn<int>("missed");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << "Calls";
    QTest::newRow("one") << 1 << "Calls (1 missed)";
    QTest::newRow("two") << 2 << "Calls (2 missed)";
}

// The count follows the history; opening the window shows the calls, and they are seen.
void TestCallsWindow::theEntryCountsUnseenMissedCalls() {
    QFETCH(int, missed);
    QFETCH(QString, text);
    add(CallRecord::Outcome::Missed, QStringLiteral("1")); // before the window: read as it opens
    QCOMPARE(entry().text(), QStringLiteral("Calls (1 missed)"));
    m_history->markMissedSeen();
    for (int i = 0; i < missed; ++i) {
        add(CallRecord::Outcome::Missed, QStringLiteral("2"));
    }
    add(CallRecord::Outcome::Answered, QStringLiteral("3"));
    QCOMPARE(entry().text(), text);
    frmCalls& window = open();
    QCOMPARE(m_history->unseenMissed(), 0);
    QCOMPARE(entry().text(), QStringLiteral("Calls"));
    QVERIFY(!window.isModal());
    QCOMPARE(&open(), &window); // one at a time
}

void TestCallsWindow::withoutAHistoryTheEntryIsOff() {
    m_line->services.history = nullptr;
    QVERIFY(!entry().isEnabled());
    QVERIFY(entry().toolTip().contains(QStringLiteral("unavailable")));
    entry().trigger();
    QVERIFY(!m_line->window().sideWindows().callsWindow());
}

void TestCallsWindow::buttonsActOnTheSelectedCall_data() {
    QTest::addColumn<QString>("given"); // the call's number, the button
    QTest::addColumn<bool>("enabled");
    QTest::newRow("call back") << "407-555-1212 cmdCallBack" << true;
    QTest::newRow("add to phone book") << "407-555-1212 cmdAddToPhoneBook" << true;
    QTest::newRow("private: no call back") << "P cmdCallBack" << false;
    QTest::newRow("block") << "407-555-1212 cmdBlock" << true;
    QTest::newRow("delete") << "407-555-1212 cmdDelete" << true;
}

void TestCallsWindow::buttonsActOnTheSelectedCall() {
    QFETCH(QString, given);
    QFETCH(bool, enabled);
    const QString number = given.section(QLatin1Char(' '), 0, 0);
    const QString button = given.section(QLatin1Char(' '), 1);
    add(CallRecord::Outcome::Answered, number, QStringLiteral("SMITH,JOHN"));
    frmCalls& window = open();
    auto* pushButton = window.findChild<QPushButton*>(button);
    QVERIFY(!pushButton->isEnabled()); // no row selected yet
    window.selectRow(0);
    QCOMPARE(pushButton->isEnabled(), enabled);
    if (!enabled) {
        return;
    }
    pushButton->click();
    Phone& phone = m_line->phone();
    if (button == QLatin1String("cmdCallBack")) {
        QCOMPARE(phone.face().text(PhoneFace::Box::NumberOut), QStringLiteral("4075551212"));
    } else if (button == QLatin1String("cmdAddToPhoneBook")) {
        QCOMPARE(PhoneBookEntries::number(m_line->store(), 0), number);
        QCOMPARE(PhoneBookEntries::name(m_line->store(), 0), QStringLiteral("SMITH,JOHN"));
    } else if (button == QLatin1String("cmdBlock")) {
        QVERIFY(m_history->isBlocked(number));
        QCOMPARE(pushButton->text(), QStringLiteral("Un&block"));
    } else {
        QCOMPARE(window.list().rowCount(), 0);
    }
    QVERIFY(m_line->messages.boxes.isEmpty());
}

void TestCallsWindow::clearAsksFirst() {
    add(CallRecord::Outcome::Answered, QStringLiteral("1"));
    frmCalls& window = open();
    m_line->messages.answers = {false, true};
    for (int rows : {1, 0}) {
        window.findChild<QPushButton*>(QStringLiteral("cmdClear"))->click();
        QCOMPARE(window.list().rowCount(), rows);
    }
    QCOMPARE(m_line->messages.boxes.size(), 2);
}

QTEST_MAIN(TestCallsWindow)
#include "tst_callswindow.moc"
