#include "PhoneRig.h"
#include "console/frmPhone.h"
#include "phonebook/PhoneBookEditDialog.h"
#include "phonebook/PhoneBookEntries.h"
#include "platform/Controls.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>

// The phone-book panel of the main window, driven with the mouse: showing it, selecting entries,
// taking a number into the display, editing an entry and storing the last caller.
class TestPhoneBookPanel : public QObject {
    Q_OBJECT
private slots:
    void entriesLoadAndPanelToggles();
    void entryButtonsActAsOneGroup();
    void enterTakesTheNumber_data();
    void enterTakesTheNumber();
    void withoutSelectionTheUserIsTold_data();
    void withoutSelectionTheUserIsTold();
    void editStoresNameAndNumber();
    void editCancelledChangesNothing();
    void addCaller_data();
    void addCaller();
};

namespace {

// A rig whose store has an initialisation string (so the load opens no setup dialog), loaded.
void loadWithEntries(PhoneRig& rig, const QList<int>& filled = {}) {
    rig.store().write(Settings::Modem, QStringLiteral("IntString"), QStringLiteral("AT#CLS=8#VLS=6"));
    for (int i : filled) {
        PhoneBookEntries::write(rig.store(), i, QStringLiteral("Name %1").arg(i), QStringLiteral("555010%1").arg(i));
    }
    rig.load();
}

void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

PhoneBookEditDialog* editDialog(frmPhone& phone) {
    return phone.findChild<PhoneBookEditDialog*>();
}

} // namespace

void TestPhoneBookPanel::entriesLoadAndPanelToggles() {
    PhoneRig rig;
    rig.store().write(Settings::PhoneBook, QStringLiteral("3"), QStringLiteral("that text"));
    rig.store().write(Settings::PhoneBook, QStringLiteral("11a"), QStringLiteral("5551234"));
    loadWithEntries(rig);
    frmPhone& phone = rig.phone();
    for (int i = 0; i < PhoneBookEntries::Count; ++i) {
        const QString expected = i == 3    ? QStringLiteral("that text ")
                                 : i == 11 ? QStringLiteral(" 5551234")
                                           : QStringLiteral(" ");
        QCOMPARE(phone.txtPhoneBook[i]->text(), expected);
    }
    QCOMPARE(phone.widthTwips(), frmPhone::NarrowWidth);
    click(phone.cmdPB);
    QCOMPARE(phone.widthTwips(), frmPhone::WideWidth);
    click(phone.cmdPB);
    QCOMPARE(phone.widthTwips(), frmPhone::NarrowWidth);
}

void TestPhoneBookPanel::entryButtonsActAsOneGroup() {
    PhoneRig rig;
    loadWithEntries(rig);
    frmPhone& phone = rig.phone();
    const auto down = [&] {
        QList<int> pressed;
        for (RibbonButton* r : phone.ribPhoneBook) {
            if (r->isChecked()) {
                pressed << r->index();
            }
        }
        return pressed;
    };
    click(phone.ribPhoneBook[4]);
    QCOMPARE(down(), QList<int>{4});
    click(phone.ribPhoneBook[7]);
    QCOMPARE(down(), QList<int>{7});
    click(phone.ribPhoneBook[7]); // released again: nothing is down
    QCOMPARE(down(), QList<int>{});
    QVERIFY(rig.messages.boxes.isEmpty());
}

void TestPhoneBookPanel::enterTakesTheNumber_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("display"); // the display afterwards; it starts as "99"
    QTest::addColumn<bool>("told");
    QTest::newRow("punctuated number") << "(555) 123-4567"
                                       << "5551234567" << false;
    QTest::newRow("codes and pause") << "*67,5551234#"
                                     << "*67,5551234#" << false;
    QTest::newRow("fourteen characters") << "12345678901234"
                                         << "12345678901234" << false;
    QTest::newRow("fifteen characters") << "123456789012345"
                                        << "99" << true;
    QTest::newRow("no number") << ""
                               << "99" << true;
    QTest::newRow("nothing dialable") << "call the office"
                                      << "99" << true;
}

void TestPhoneBookPanel::enterTakesTheNumber() {
    QFETCH(QString, stored);
    QFETCH(QString, display);
    QFETCH(bool, told);
    PhoneRig rig;
    PhoneBookEntries::write(rig.store(), 6, QStringLiteral("Office"), stored);
    loadWithEntries(rig);
    frmPhone& phone = rig.phone();
    phone.txtNumberOut->setText(QStringLiteral("99"));
    const QByteArray before = rig.temp.readRaw();
    click(phone.ribPhoneBook[6]);
    click(phone.cmdPBEnter);
    QCOMPARE(phone.txtNumberOut->text(), display);
    QCOMPARE(rig.messages.boxes.size(), told ? 1 : 0);
    QCOMPARE(rig.temp.readRaw(), before);
}

void TestPhoneBookPanel::withoutSelectionTheUserIsTold_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("pressAndRelease");
    QTest::newRow("Enter, never selected") << "cmdPBEnter" << false;
    QTest::newRow("Enter, selection released") << "cmdPBEnter" << true;
    QTest::newRow("Edit, never selected") << "cmdPBEdit" << false;
    QTest::newRow("Edit, selection released") << "cmdPBEdit" << true;
}

void TestPhoneBookPanel::withoutSelectionTheUserIsTold() {
    QFETCH(QString, button);
    QFETCH(bool, pressAndRelease);
    PhoneRig rig;
    loadWithEntries(rig, {0, 1});
    frmPhone& phone = rig.phone();
    if (pressAndRelease) {
        click(phone.ribPhoneBook[1]);
        click(phone.ribPhoneBook[1]);
    }
    click(phone.findChild<QWidget*>(button));
    QCOMPARE(rig.messages.boxes.size(), 1);
    QVERIFY(rig.messages.boxes[0].text.contains(QStringLiteral("Select")));
    QCOMPARE(phone.txtNumberOut->text(), QString());
    QVERIFY(!editDialog(phone));
}

void TestPhoneBookPanel::editStoresNameAndNumber() {
    PhoneRig rig;
    PhoneBookEntries::write(rig.store(), 2, QStringLiteral("Bob"), QStringLiteral("555-0199"));
    loadWithEntries(rig);
    frmPhone& phone = rig.phone();
    click(phone.ribPhoneBook[2]);
    click(phone.cmdPBEdit);
    QPointer<PhoneBookEditDialog> dialog = editDialog(phone);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->txtEntryName->text(), QStringLiteral("Bob"));
    QCOMPARE(dialog->txtEntryNumber->text(), QStringLiteral("5550199")); // what would be dialled

    dialog->txtEntryName->clear();
    QTest::keyClicks(dialog->txtEntryName, QStringLiteral("Garage, Bob's"));
    dialog->txtEntryNumber->clear();
    QTest::keyClicks(dialog->txtEntryNumber, QStringLiteral("*70,555-01x99#123456789")); // "-" and "x" refused
    QCOMPARE(dialog->txtEntryNumber->text(), QStringLiteral("*70,5550199#12"));          // fourteen at most
    click(dialog->cmdOK);

    QCOMPARE(rig.store().read(Settings::PhoneBook, QStringLiteral("2")), QStringLiteral("Garage, Bob's"));
    QCOMPARE(rig.store().read(Settings::PhoneBook, QStringLiteral("2a")), QStringLiteral("*70,5550199#12"));
    QCOMPARE(phone.txtPhoneBook[2]->text(), QStringLiteral("Garage, Bob's *70,5550199#12"));
    QTRY_VERIFY(!dialog);
    QVERIFY(rig.messages.boxes.isEmpty());
}

void TestPhoneBookPanel::editCancelledChangesNothing() {
    PhoneRig rig;
    PhoneBookEntries::write(rig.store(), 9, QStringLiteral("Carol"), QStringLiteral("5550100"));
    loadWithEntries(rig);
    frmPhone& phone = rig.phone();
    const QByteArray before = rig.temp.readRaw();
    click(phone.ribPhoneBook[9]);
    click(phone.cmdPBEdit);
    QPointer<PhoneBookEditDialog> dialog = editDialog(phone);
    QVERIFY(dialog);
    QTest::keyClicks(dialog->txtEntryName, QStringLiteral(" changed"));
    QTest::keyClicks(dialog->txtEntryNumber, QStringLiteral("9"));
    QTest::keyClick(dialog, Qt::Key_Escape);
    QTRY_VERIFY(!dialog);
    QCOMPARE(rig.temp.readRaw(), before);
    QCOMPARE(phone.txtPhoneBook[9]->text(), QStringLiteral("Carol 5550100"));
}

void TestPhoneBookPanel::addCaller_data() {
    QTest::addColumn<QList<int>>("filled");
    QTest::addColumn<int>("selected"); // -1: none
    QTest::addColumn<QString>("number");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("storedAt"); // -1: nothing stored
    QTest::addColumn<int>("boxes");
    const QList<int> some{0, 1};
    QList<int> all;
    for (int i = 0; i < PhoneBookEntries::Count; ++i) {
        all << i;
    }
    QTest::newRow("no caller yet") << some << -1 << "" << QList<bool>{} << -1 << 1;
    QTest::newRow("private caller") << some << 4 << "P" << QList<bool>{} << -1 << 1;
    QTest::newRow("out-of-area caller") << some << 4 << "O" << QList<bool>{} << -1 << 1;
    QTest::newRow("none selected: first empty") << some << -1 << "6135550123" << QList<bool>{} << 2 << 0;
    QTest::newRow("selected empty entry") << some << 5 << "6135550123" << QList<bool>{} << 5 << 0;
    QTest::newRow("selected full entry, replace") << some << 1 << "6135550123" << QList<bool>{true} << 1 << 1;
    QTest::newRow("selected full entry, keep") << some << 1 << "6135550123" << QList<bool>{false} << -1 << 1;
    QTest::newRow("book full, none selected") << all << -1 << "6135550123" << QList<bool>{} << -1 << 1;
    QTest::newRow("book full, one selected") << all << 11 << "6135550123" << QList<bool>{true} << 11 << 1;
}

void TestPhoneBookPanel::addCaller() {
    QFETCH(QList<int>, filled);
    QFETCH(int, selected);
    QFETCH(QString, number);
    QFETCH(QList<bool>, answers);
    QFETCH(int, storedAt);
    QFETCH(int, boxes);
    PhoneRig rig;
    loadWithEntries(rig, filled);
    frmPhone& phone = rig.phone();
    // The report as it came from the modem: number in full, name as sent.
    phone.state.LastReportNumber = number;
    phone.state.LastReportName = number.isEmpty() ? QString() : QStringLiteral("SMITH, JOHN");
    if (selected >= 0) {
        click(phone.ribPhoneBook[selected]);
    }
    rig.messages.answers = answers;
    const QByteArray before = rig.temp.readRaw();
    click(phone.cmdAddCaller);

    QCOMPARE(rig.messages.boxes.size(), boxes);
    if (storedAt < 0) {
        QCOMPARE(rig.temp.readRaw(), before);
        return;
    }
    QCOMPARE(PhoneBookEntries::name(rig.store(), storedAt), QStringLiteral("SMITH, JOHN"));
    QCOMPARE(PhoneBookEntries::number(rig.store(), storedAt), number);
    QCOMPARE(phone.txtPhoneBook[storedAt]->text(), QStringLiteral("SMITH, JOHN ") + number);
    for (int other : filled) {
        if (other != storedAt) {
            QCOMPARE(PhoneBookEntries::name(rig.store(), other), QStringLiteral("Name %1").arg(other));
        }
    }
}

QTEST_MAIN(TestPhoneBookPanel)
#include "tst_phonebookpanel.moc"
