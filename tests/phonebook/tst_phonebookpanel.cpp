#include "PhoneLine.h"
#include "console/Phone.h"
#include "phonebook/PhoneBookEntries.h"
#include "phonebook/PhoneBookPanel.h"

#include <QRegularExpression>
#include <QTest>
#include <array>

// The phone-book panel's logic: the rows the load fills, showing the panel, selecting entries,
// taking a number into the display, editing an entry and storing the last caller.
class TestPhoneBookPanel : public QObject {
    Q_OBJECT
private slots:
    void rowsLoadAndPBTogglesTheWidth();
    void entryButtonsSelectOneAtATime_data();
    void entryButtonsSelectOneAtATime();
    void enterTakesTheNumber_data();
    void enterTakesTheNumber();
    void withoutSelectionTheUserIsTold_data();
    void withoutSelectionTheUserIsTold();
    void editAsksTheViewAndItsOKStoresAndShows();
    void addCaller_data();
    void addCaller();
};

namespace {

using Box = PhoneView::Box;
using Click = std::pair<int, bool>; // an entry button and its state after the click
using Clicks = QList<Click>;

const QString SelectFirst = QStringLiteral("Select an Entry in the Phone Book First");

// Entries "Name i" / "555010i" at `filled`, and an initialisation string so that the load opens
// no setup dialog; then the telephone's load.
void loadWithEntries(PhoneLine& line, const QList<int>& filled = {}) {
    line.store().write(Settings::IntString, QStringLiteral("AT#CLS=8#VLS=6"));
    for (int i : filled) {
        PhoneBookEntries::write(line.store(), i, QStringLiteral("Name %1").arg(i), QStringLiteral("555010%1").arg(i));
    }
    line.load();
}

PhoneBookPanel& panel(PhoneLine& line) {
    return line.phone().phoneBook();
}

// The entry buttons the view shows pressed, from every "entry button" call it was given.
QList<int> shownDown(const RecordingView& view) {
    static const QRegularExpression call(QStringLiteral("^entry button (\\d+) (down|up)$"));
    std::array<bool, PhoneBookEntries::Count> down{};
    for (const QString& entry : view.log) {
        const QRegularExpressionMatch m = call.match(entry);
        if (m.hasMatch()) {
            down.at(m.captured(1).toUInt()) = m.captured(2) == QLatin1String("down");
        }
    }
    QList<int> pressed;
    for (int i = 0; i < PhoneBookEntries::Count; ++i) {
        if (down.at(static_cast<std::size_t>(i))) {
            pressed << i;
        }
    }
    return pressed;
}

QStringList texts(const RecordingMessageBoxes& messages) {
    QStringList all;
    for (const RecordingMessageBoxes::Box& box : messages.boxes) {
        all << box.text;
    }
    return all;
}

} // namespace

void TestPhoneBookPanel::rowsLoadAndPBTogglesTheWidth() {
    PhoneLine line;
    line.store().write(Settings::phoneBookName(3), QStringLiteral("that text"));
    line.store().write(Settings::phoneBookNumber(11), QStringLiteral("5551234"));
    loadWithEntries(line);
    const PhoneFace& face = line.phone().face();
    for (int i = 0; i < PhoneBookEntries::Count; ++i) {
        const QString expected = i == 3    ? QStringLiteral("that text ")
                                 : i == 11 ? QStringLiteral(" 5551234")
                                           : QStringLiteral(" ");
        QCOMPARE(face.phoneBookRow(i), expected);
        QVERIFY(line.view.log.contains(QStringLiteral("row %1 %2").arg(i).arg(expected)));
    }
    // The load leaves the panel out of view; PB shows it and hides it again.
    QCOMPARE(face.widthTwips(), PhoneFace::NarrowWidth);
    panel(line).cmdPB_Click();
    QCOMPARE(face.widthTwips(), PhoneFace::WideWidth);
    QCOMPARE(line.view.log.last(), QStringLiteral("width 7335"));
    panel(line).cmdPB_Click();
    QCOMPARE(face.widthTwips(), PhoneFace::NarrowWidth);
    QCOMPARE(line.view.log.last(), QStringLiteral("width 2865"));
}

void TestPhoneBookPanel::entryButtonsSelectOneAtATime_data() {
    QTest::addColumn<Clicks>("clicks");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QList<int>>("down");
    QTest::newRow("one pressed") << Clicks{{4, true}} << 4 << QList<int>{4};
    QTest::newRow("another pressed releases it") << Clicks{{4, true}, {7, true}} << 7 << QList<int>{7};
    QTest::newRow("the pressed one released") << Clicks{{4, true}, {7, true}, {7, false}} << -1 << QList<int>{};
    QTest::newRow("pressed again after a release") << Clicks{{4, true}, {4, false}, {4, true}} << 4 << QList<int>{4};
}

void TestPhoneBookPanel::entryButtonsSelectOneAtATime() {
    QFETCH(Clicks, clicks);
    QFETCH(int, selected);
    QFETCH(QList<int>, down);
    PhoneLine line;
    loadWithEntries(line, {4, 7});
    const QByteArray before = line.temp.readRaw();
    for (const auto& [index, state] : clicks) {
        panel(line).ribPhoneBook_Click(index, state);
    }
    QCOMPARE(line.phone().face().selectedEntry(), selected);
    QCOMPARE(panel(line).selectedEntry(), selected);
    QCOMPARE(shownDown(line.view), down);
    // Selecting touches nothing else.
    QCOMPARE(line.phone().face().text(Box::NumberOut), QString());
    QVERIFY(line.messages.boxes.isEmpty());
    QCOMPARE(line.temp.readRaw(), before);
}

void TestPhoneBookPanel::enterTakesTheNumber_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("display"); // the display afterwards; it starts as "99"
    QTest::addColumn<QString>("told");    // the message, or none
    QTest::newRow("punctuated number") << "(555) 123-4567"
                                       << "5551234567" << QString();
    QTest::newRow("codes and pause") << "*67,5551234#"
                                     << "*67,5551234#" << QString();
    QTest::newRow("fourteen characters") << "12345678901234"
                                         << "12345678901234" << QString();
    QTest::newRow("fifteen characters") << "123456789012345"
                                        << "99"
                                        << "This Entry's Number Is Longer than 14 Characters and Cannot Be Dialed";
    QTest::newRow("no number") << ""
                               << "99"
                               << "This Entry Has No Number to Dial";
    QTest::newRow("nothing dialable") << "call the office"
                                      << "99"
                                      << "This Entry Has No Number to Dial";
}

void TestPhoneBookPanel::enterTakesTheNumber() {
    QFETCH(QString, stored);
    QFETCH(QString, display);
    QFETCH(QString, told);
    PhoneLine line;
    PhoneBookEntries::write(line.store(), 6, QStringLiteral("Office"), stored);
    loadWithEntries(line);
    PhoneFace& face = line.phone().face();
    face.setText(Box::NumberOut, QStringLiteral("99"));
    const QByteArray before = line.temp.readRaw();
    panel(line).ribPhoneBook_Click(6, true);
    panel(line).cmdPBEnter_Click();
    QCOMPARE(face.text(Box::NumberOut), display);
    QCOMPARE(texts(line.messages), told.isEmpty() ? QStringList() : QStringList{told});
    if (!told.isEmpty()) {
        QCOMPARE(line.messages.boxes[0].title, ApplicationTitle);
        QCOMPARE(line.messages.boxes[0].icon, MessageBoxes::Icon::Information);
    }
    QCOMPARE(line.temp.readRaw(), before);
}

void TestPhoneBookPanel::withoutSelectionTheUserIsTold_data() {
    QTest::addColumn<bool>("edit"); // Edit, or <-- Enter
    QTest::addColumn<bool>("pressAndRelease");
    QTest::newRow("Enter, never selected") << false << false;
    QTest::newRow("Enter, selection released") << false << true;
    QTest::newRow("Edit, never selected") << true << false;
    QTest::newRow("Edit, selection released") << true << true;
}

void TestPhoneBookPanel::withoutSelectionTheUserIsTold() {
    QFETCH(bool, edit);
    QFETCH(bool, pressAndRelease);
    PhoneLine line;
    loadWithEntries(line, {0, 1});
    if (pressAndRelease) {
        panel(line).ribPhoneBook_Click(1, true);
        panel(line).ribPhoneBook_Click(1, false);
    }
    if (edit) {
        panel(line).cmdPBEdit_Click();
    } else {
        panel(line).cmdPBEnter_Click();
    }
    QCOMPARE(texts(line.messages), QStringList{SelectFirst});
    QCOMPARE(line.phone().face().text(Box::NumberOut), QString());
    QVERIFY(line.view.edits.isEmpty());
}

void TestPhoneBookPanel::editAsksTheViewAndItsOKStoresAndShows() {
    PhoneLine line;
    PhoneBookEntries::write(line.store(), 2, QStringLiteral("Bob"), QStringLiteral("555-0199"));
    loadWithEntries(line);
    const QByteArray before = line.temp.readRaw();
    panel(line).ribPhoneBook_Click(2, true);
    panel(line).cmdPBEdit_Click();
    // The editor gets the entry as stored; what it shows of the number is its own affair.
    QCOMPARE(line.view.edits.size(), 1);
    QCOMPARE(line.view.edits[0].index, 2);
    QCOMPARE(line.view.edits[0].name, QStringLiteral("Bob"));
    QCOMPARE(line.view.edits[0].number, QStringLiteral("555-0199"));
    QCOMPARE(line.temp.readRaw(), before); // opening the editor stores nothing

    panel(line).storeEntry(2, QStringLiteral("Garage, Bob's"), QStringLiteral("*70,5550199#12"));
    QCOMPARE(line.store().read(Settings::PhoneBook, QStringLiteral("2")), QStringLiteral("Garage, Bob's"));
    QCOMPARE(line.store().read(Settings::PhoneBook, QStringLiteral("2a")), QStringLiteral("*70,5550199#12"));
    QCOMPARE(line.phone().face().phoneBookRow(2), QStringLiteral("Garage, Bob's *70,5550199#12"));
    QCOMPARE(line.view.log.last(), QStringLiteral("row 2 Garage, Bob's *70,5550199#12"));
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestPhoneBookPanel::addCaller_data() {
    QTest::addColumn<QList<int>>("filled");
    QTest::addColumn<int>("selected"); // -1: none
    QTest::addColumn<QString>("number");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("storedAt"); // -1: nothing stored
    QTest::addColumn<QString>("told"); // the one box shown, or none
    const QList<int> some{0, 1};
    QList<int> all;
    for (int i = 0; i < PhoneBookEntries::Count; ++i) {
        all << i;
    }
    const QString caller = QStringLiteral("6135550123");
    const QString replace1 = QStringLiteral("Replace \"Name 1 5550101\" with \"SMITH, JOHN 6135550123\"?");
    QTest::newRow("no caller yet") << some << -1 << "" << QList<bool>{} << -1 << "No Caller to Add Yet";
    QTest::newRow("private caller") << some << 4 << "P" << QList<bool>{} << -1
                                    << "The Last Caller's Number Is Private and Cannot Be Added";
    QTest::newRow("out-of-area caller") << some << 4 << "O" << QList<bool>{} << -1
                                        << "The Last Caller Is Out of Area: No Number to Add";
    QTest::newRow("none selected: first empty") << some << -1 << caller << QList<bool>{} << 2 << QString();
    QTest::newRow("selected empty entry") << some << 5 << caller << QList<bool>{} << 5 << QString();
    QTest::newRow("selected full entry, replace") << some << 1 << caller << QList<bool>{true} << 1 << replace1;
    QTest::newRow("selected full entry, keep") << some << 1 << caller << QList<bool>{false} << -1 << replace1;
    QTest::newRow("book full, none selected")
        << all << -1 << caller << QList<bool>{} << -1 << "The Phone Book Is Full: Select the Entry to Replace";
    QTest::newRow("book full, one selected") << all << 11 << caller << QList<bool>{true} << 11
                                             << "Replace \"Name 11 55501011\" with \"SMITH, JOHN 6135550123\"?";
}

void TestPhoneBookPanel::addCaller() {
    QFETCH(QList<int>, filled);
    QFETCH(int, selected);
    QFETCH(QString, number);
    QFETCH(QList<bool>, answers);
    QFETCH(int, storedAt);
    QFETCH(QString, told);
    PhoneLine line;
    loadWithEntries(line, filled);
    Phone& phone = line.phone();
    // The report as it came from the modem: number in full, name as sent.
    phone.state.LastReportNumber = number;
    phone.state.LastReportName = number.isEmpty() ? QString() : QStringLiteral("SMITH, JOHN");
    if (selected >= 0) {
        panel(line).ribPhoneBook_Click(selected, true);
    }
    line.messages.answers = answers;
    const QByteArray before = line.temp.readRaw();
    panel(line).cmdAddCaller_Click();

    QCOMPARE(texts(line.messages), told.isEmpty() ? QStringList() : QStringList{told});
    QVERIFY(line.messages.answers.isEmpty()); // every question the test answered was asked
    if (storedAt < 0) {
        QCOMPARE(line.temp.readRaw(), before);
        return;
    }
    QCOMPARE(PhoneBookEntries::name(line.store(), storedAt), QStringLiteral("SMITH, JOHN"));
    QCOMPARE(PhoneBookEntries::number(line.store(), storedAt), number);
    QCOMPARE(phone.face().phoneBookRow(storedAt), QStringLiteral("SMITH, JOHN ") + number);
    for (int other : filled) {
        if (other != storedAt) {
            QCOMPARE(PhoneBookEntries::name(line.store(), other), QStringLiteral("Name %1").arg(other));
        }
    }
}

QTEST_MAIN(TestPhoneBookPanel)
#include "tst_phonebookpanel.moc"
