#include "WindowLine.h"
#include "console/Phone.h"
#include "phonebook/PhoneBookEditDialog.h"
#include "phonebook/PhoneBookEntries.h"
#include "platform/Controls.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

// The phone-book panel on the real window: the entry buttons show the selection, and Edit opens
// the entry editor, whose OK stores through the window and whose Cancel stores nothing.
class TestPhoneBookWindow : public QObject {
    Q_OBJECT
private slots:
    void entryButtonsShowTheSelection();
    void editorTakesDialableCharactersAndOKStores();
    void editorCancelledStoresNothing_data();
    void editorCancelledStoresNothing();
    void editorLeavesTheCallInHand_data();
    void editorLeavesTheCallInHand();
};

namespace {

void loadWithEntry(WindowLine& line, int index, const QString& name, const QString& number) {
    line.store().write(Settings::IntString, QStringLiteral("AT#CLS=8#VLS=6"));
    PhoneBookEntries::write(line.store(), index, name, number);
    line.load();
}

void click(QWidget* widget) {
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}

RibbonButton* entryButton(WindowLine& line, int index) {
    return line.control<RibbonButton>(QStringLiteral("ribPhoneBook_%1").arg(index));
}

QString row(WindowLine& line, int index) {
    auto* box = line.control<QLineEdit>(QStringLiteral("txtPhoneBook_%1").arg(index));
    return box ? box->text() : QStringLiteral("<no row>");
}

// A click as the window system delivers it, so that a window a modal dialog blocks does not get it.
void clickInWindow(QWidget* widget) {
    QVERIFY(widget && widget->window()->windowHandle());
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      widget->mapTo(widget->window(), widget->rect().center()));
}

// Selects entry `index` and clicks Edit: the editor it opened, or null.
PhoneBookEditDialog* openEditor(WindowLine& line, int index) {
    click(entryButton(line, index));
    click(line.control(QStringLiteral("cmdPBEdit")));
    return line.widget().findChild<PhoneBookEditDialog*>();
}

} // namespace

void TestPhoneBookWindow::entryButtonsShowTheSelection() {
    WindowLine line;
    loadWithEntry(line, 4, QStringLiteral("Alice"), QStringLiteral("5550104"));
    const auto down = [&] {
        QList<int> pressed;
        for (int i = 0; i < PhoneBookEntries::Count; ++i) {
            if (entryButton(line, i)->isChecked()) {
                pressed << i;
            }
        }
        return pressed;
    };
    click(entryButton(line, 4));
    QCOMPARE(down(), QList<int>{4});
    QCOMPARE(line.phone().face().selectedEntry(), 4);
    click(entryButton(line, 7));
    QCOMPARE(down(), QList<int>{7});
    QCOMPARE(line.phone().face().selectedEntry(), 7);
    click(entryButton(line, 7)); // released again: nothing is down
    QCOMPARE(down(), QList<int>{});
    QCOMPARE(line.phone().face().selectedEntry(), -1);
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestPhoneBookWindow::editorTakesDialableCharactersAndOKStores() {
    WindowLine line;
    loadWithEntry(line, 2, QStringLiteral("Bob"), QStringLiteral("555-0199"));
    QPointer<PhoneBookEditDialog> dialog = openEditor(line, 2);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(child<QLineEdit>(dialog, "txtEntryName")->text(), QStringLiteral("Bob"));
    QCOMPARE(child<QLineEdit>(dialog, "txtEntryNumber")->text(), QStringLiteral("5550199")); // what would be dialled

    child<QLineEdit>(dialog, "txtEntryName")->clear();
    QTest::keyClicks(child<QLineEdit>(dialog, "txtEntryName"), QStringLiteral("Garage, Bob's"));
    child<QLineEdit>(dialog, "txtEntryNumber")->clear();
    QTest::keyClicks(child<QLineEdit>(dialog, "txtEntryNumber"),
                     QStringLiteral("*70,555-01x99#123456789")); // "-" and "x" refused
    QCOMPARE(child<QLineEdit>(dialog, "txtEntryNumber")->text(), QStringLiteral("*70,5550199#12")); // fourteen at most
    click(child<QPushButton>(dialog, "cmdOK"));

    QCOMPARE(line.store().read(Settings::PhoneBook, QStringLiteral("2")), QStringLiteral("Garage, Bob's"));
    QCOMPARE(line.store().read(Settings::PhoneBook, QStringLiteral("2a")), QStringLiteral("*70,5550199#12"));
    QCOMPARE(row(line, 2), QStringLiteral("Garage, Bob's *70,5550199#12"));
    QTRY_VERIFY(!dialog);
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestPhoneBookWindow::editorCancelledStoresNothing_data() {
    QTest::addColumn<bool>("esc"); // Esc, or the Cancel button
    QTest::newRow("Cancel") << false;
    QTest::newRow("Esc") << true;
}

void TestPhoneBookWindow::editorCancelledStoresNothing() {
    QFETCH(bool, esc);
    WindowLine line;
    loadWithEntry(line, 9, QStringLiteral("Carol"), QStringLiteral("5550100"));
    const QByteArray before = line.temp.readRaw();
    QPointer<PhoneBookEditDialog> dialog = openEditor(line, 9);
    QVERIFY(dialog);
    QTest::keyClicks(child<QLineEdit>(dialog, "txtEntryName"), QStringLiteral(" changed"));
    QTest::keyClicks(child<QLineEdit>(dialog, "txtEntryNumber"), QStringLiteral("9"));
    if (esc) {
        QTest::keyClick(dialog, Qt::Key_Escape);
    } else {
        click(child<QPushButton>(dialog, "cmdCancel"));
    }
    QTRY_VERIFY(!dialog);
    QCOMPARE(line.temp.readRaw(), before);
    QCOMPARE(row(line, 9), QStringLiteral("Carol 5550100"));
}

void TestPhoneBookWindow::editorLeavesTheCallInHand_data() {
    QTest::addColumn<bool>("typed"); // E typed at the telephone, or End clicked
    QTest::newRow("End clicked") << false;
    QTest::newRow("E typed") << true;
}

// The editor is not modal: while it is open the telephone works, one editor stays open, and OK
// stores into the entry it was opened for.
void TestPhoneBookWindow::editorLeavesTheCallInHand() {
    QFETCH(bool, typed);
    WindowLine line;
    PhoneBookEntries::write(line.store(), 3, QStringLiteral("Dave"), QStringLiteral("5550103"));
    QVERIFY(line.attach());
    line.answer("ATDT5551234\r", "\r\nVCON\r\n");
    line.phone().face().setText(PhoneFace::Box::NumberOut, QStringLiteral("5551234"));
    click(line.control(QStringLiteral("cmdSend")));
    QTRY_VERIFY(line.phone().state.VoiceConnected);

    QPointer<PhoneBookEditDialog> dialog = openEditor(line, 3);
    QVERIFY(dialog);
    QTest::keyClicks(child<QLineEdit>(dialog, "txtEntryName"), QStringLiteral(" B."));
    click(entryButton(line, 5));
    click(line.control(QStringLiteral("cmdPBEdit")));
    QCOMPARE(line.phone().face().selectedEntry(), 5);
    QCOMPARE(line.widget().findChildren<PhoneBookEditDialog*>().size(), 1);

    line.clearWritten();
    if (typed) {
        QVERIFY(line.activate());
        QTest::keyClick(line.widget().windowHandle(), Qt::Key_E, Qt::NoModifier);
    } else {
        clickInWindow(line.control(QStringLiteral("cmdEnd")));
    }
    QTRY_VERIFY(line.written().startsWith("ATH\r"));
    QVERIFY(dialog);
    click(child<QPushButton>(dialog, "cmdOK"));
    QCOMPARE(row(line, 3), QStringLiteral("Dave B. 5550103"));
    QCOMPARE(row(line, 5), QStringLiteral(" "));
}

QTEST_MAIN(TestPhoneBookWindow)
#include "tst_phonebookwindow.moc"
