#include "AttachedPhoneTest.h"
#include "call/NumberEntry.h"
#include "console/frmPhone.h"
#include "modem/ModemLink.h"
#include "modem/SerialControl.h"
#include "platform/Controls.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

// Number entry against an attached window: keypad clicks and real key presses (the numeric
// keypad too), the tones they send during a call, the display's length rule, Pause, Clear,
// Redial and where the keyboard focus goes.
class TestNumberEntry : public AttachedPhoneTest {
    Q_OBJECT
private slots:
    void keypadButtons_data();
    void keypadButtons();
    void typedKeys_data();
    void typedKeys();
    void fifteenthSymbolStartsAfresh_data();
    void fifteenthSymbolStartsAfresh();
    void keysAndTheFocus_data();
    void keysAndTheFocus();
    void enterClicksSendOnce_data();
    void enterClicksSendOnce();
    void letterEClicksEnd_data();
    void letterEClicksEnd();
    void spaceClicksTheFocusedButtonOnce_data();
    void spaceClicksTheFocusedButtonOnce();
    void pauseAndClearDuringACall();
    void redial_data();
    void redial();
    void dialable_data();
    void dialable();
    void keysDuringACallWithThePortClosed();
};

void TestNumberEntry::keypadButtons_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("inCall");
    QTest::addColumn<QString>("symbol");
    const QString symbols = QStringLiteral("123456789*0#");
    for (int i = 0; i < 12; ++i) {
        for (const bool inCall : {false, true}) {
            const QByteArray name = QStringLiteral("key %1 (%2) %3")
                                        .arg(i)
                                        .arg(symbols.at(i))
                                        .arg(inCall ? QStringLiteral("in a call") : QStringLiteral("idle"))
                                        .toLatin1();
            QTest::newRow(name.constData()) << i << inCall << QString(symbols.at(i));
        }
    }
}

void TestNumberEntry::keypadButtons() {
    QFETCH(int, index);
    QFETCH(bool, inCall);
    QFETCH(QString, symbol);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    if (inCall) {
        t.startCall(true);
    }
    phone.txtName->setText(QStringLiteral("SMITH JOHN"));
    phone.txtNumberOut->setText(QStringLiteral("12"));
    QTest::mouseClick(phone.cmdNumber[index], Qt::LeftButton);
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("12") + symbol);
    QCOMPARE(phone.txtName->text(), QString());
    QCOMPARE(t.written(), inCall ? QByteArray("AT#VBT=1#VTS=") + symbol.toLatin1() + '\r' : QByteArray());
}

void TestNumberEntry::typedKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("inCall");
    QTest::addColumn<QString>("appended");
    const int none = Qt::NoModifier;
    const int pad = Qt::KeypadModifier;
    QTest::newRow("5 idle") << int(Qt::Key_5) << none << false << "5";
    QTest::newRow("5 in a call") << int(Qt::Key_5) << none << true << "5";
    QTest::newRow("1 in a call") << int(Qt::Key_1) << none << true << "1";
    QTest::newRow("9 in a call") << int(Qt::Key_9) << none << true << "9";
    QTest::newRow("0 in a call") << int(Qt::Key_0) << none << true << "0";
    QTest::newRow("* in a call") << int(Qt::Key_Asterisk) << none << true << "*";
    QTest::newRow("# in a call") << int(Qt::Key_NumberSign) << none << true << "#";
    QTest::newRow("/ in a call is #") << int(Qt::Key_Slash) << none << true << "#";
    QTest::newRow("/ idle is #") << int(Qt::Key_Slash) << none << false << "#";
    QTest::newRow("keypad 5 in a call") << int(Qt::Key_5) << pad << true << "5";
    QTest::newRow("keypad 0 in a call") << int(Qt::Key_0) << pad << true << "0";
    QTest::newRow("keypad * in a call") << int(Qt::Key_Asterisk) << pad << true << "*";
    QTest::newRow("keypad / in a call is #") << int(Qt::Key_Slash) << pad << true << "#";
    QTest::newRow("keypad 7 idle") << int(Qt::Key_7) << pad << false << "7";
}

void TestNumberEntry::typedKeys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, inCall);
    QFETCH(QString, appended);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    if (inCall) {
        t.startCall(false); // tones go out from the dial on, before the voice connection
    }
    phone.txtName->setText(QStringLiteral("SMITH JOHN"));
    t.type(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(phone.txtNumberOut->text(), appended);
    QCOMPARE(phone.txtName->text(), QString());
    QCOMPARE(t.written(), inCall ? QByteArray("AT#VBT=1#VTS=") + appended.toLatin1() + '\r' : QByteArray());
    QCOMPARE(QApplication::focusWidget(), phone.cmdSend);
}

void TestNumberEntry::fifteenthSymbolStartsAfresh_data() {
    QTest::addColumn<bool>("inCall");
    QTest::newRow("idle") << false;
    QTest::newRow("in a call") << true;
}

void TestNumberEntry::fifteenthSymbolStartsAfresh() {
    QFETCH(bool, inCall);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    if (inCall) {
        t.startCall(true);
    }
    const QByteArray digits("123456789012345");
    QByteArray tones;
    for (const char digit : digits) {
        t.type(digit);
        tones += QByteArray("AT#VBT=1#VTS=") + digit + '\r';
    }
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("5"));
    QCOMPARE(t.written(), inCall ? tones : QByteArray());

    // Fourteen stay as they are; the fifteenth alone remains, whatever put it there.
    phone.txtNumberOut->setText(QStringLiteral("1234567890123"));
    QTest::mouseClick(phone.cmdPause, Qt::LeftButton);
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("1234567890123,"));
    t.type('#');
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("#"));
}

void TestNumberEntry::keysAndTheFocus_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("Backspace on an empty display") << int(Qt::Key_Backspace) << ""
                                                   << "" << QByteArray();
    QTest::newRow("Backspace removes the last") << int(Qt::Key_Backspace) << "55,#"
                                                << "55," << QByteArray();
    QTest::newRow("a letter other than E") << int(Qt::Key_X) << "55"
                                           << "55" << QByteArray();
    QTest::newRow("Esc") << int(Qt::Key_Escape) << "55"
                         << "55" << QByteArray();
    QTest::newRow("Space") << int(Qt::Key_Space) << "55"
                           << "55" << QByteArray();
    QTest::newRow("a digit") << int(Qt::Key_3) << "55"
                             << "553" << QByteArray("AT#VBT=1#VTS=3\r");
}

void TestNumberEntry::keysAndTheFocus() {
    QFETCH(int, key);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QByteArray, written);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    t.startCall(true);
    phone.txtNumberOut->setText(before);
    phone.Slider2->setFocus();
    QCOMPARE(QApplication::focusWidget(), phone.Slider2);
    t.type(Qt::Key(key));
    QCOMPARE(phone.txtNumberOut->text(), after);
    QCOMPARE(QApplication::focusWidget(), phone.cmdSend);
    QCOMPARE(t.written(), written);
    QCOMPARE(phone.Slider2->value(), 1);
}

void TestNumberEntry::enterClicksSendOnce_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("modifiers");
    for (const char* focus : {"cmdSend", "cmdHold", "cmdNumber_4", "Slider1"}) {
        QTest::addRow("Enter, focus on %s", focus) << QString::fromLatin1(focus) << int(Qt::NoModifier);
        QTest::addRow("keypad Enter, focus on %s", focus) << QString::fromLatin1(focus) << int(Qt::KeypadModifier);
    }
}

void TestNumberEntry::enterClicksSendOnce() {
    QFETCH(QString, focus);
    QFETCH(int, modifiers);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    auto* focusWidget = phone.findChild<QWidget*>(focus);
    QVERIFY(focusWidget);
    focusWidget->setFocus();
    QSignalSpy sends(phone.cmdSend, &QPushButton::clicked);
    QSignalSpy holds(phone.cmdHold, &QPushButton::clicked);
    QSignalSpy keypad(phone.cmdNumber[4], &QPushButton::clicked);
    const Qt::Key key = modifiers == Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return;
    t.type(key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(sends.count(), 1);
    QCOMPARE(holds.count(), 0);
    QCOMPARE(keypad.count(), 0);
    QCOMPARE(QApplication::focusWidget(), phone.cmdSend);
}

void TestNumberEntry::letterEClicksEnd_data() {
    QTest::addColumn<char>("letter");
    QTest::addColumn<bool>("inCall");
    QTest::addColumn<int>("ends");
    QTest::newRow("E idle") << 'E' << false << 1;
    QTest::newRow("e idle") << 'e' << false << 1;
    QTest::newRow("E in a call") << 'E' << true << 1;
    QTest::newRow("e in a call") << 'e' << true << 1;
    QTest::newRow("F in a call") << 'F' << true << 0;
    QTest::newRow("d in a call") << 'd' << true << 0;
}

void TestNumberEntry::letterEClicksEnd() {
    QFETCH(char, letter);
    QFETCH(bool, inCall);
    QFETCH(int, ends);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    if (inCall) {
        t.startCall(true);
    }
    phone.txtNumberOut->setText(QStringLiteral("555"));
    QSignalSpy endSpy(phone.cmdEnd, &QPushButton::clicked);
    t.type(letter);
    QCOMPARE(endSpy.count(), ends);
    QCOMPARE(QApplication::focusWidget(), phone.cmdSend);
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("555")); // letters never reach the display
}

void TestNumberEntry::spaceClicksTheFocusedButtonOnce_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("Send") << "cmdSend";
    QTest::newRow("Pause") << "cmdPause";
    QTest::newRow("keypad key 0") << "cmdNumber_10";
}

void TestNumberEntry::spaceClicksTheFocusedButtonOnce() {
    QFETCH(QString, button);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    auto* focused = phone.findChild<QPushButton*>(button);
    QVERIFY(focused);
    focused->setFocus();
    QSignalSpy clicks(focused, &QPushButton::clicked);
    QSignalSpy sends(phone.cmdSend, &QPushButton::clicked);
    t.type(Qt::Key_Space);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(sends.count(), focused == phone.cmdSend ? 1 : 0);
    QVERIFY(!focused->isDown()); // not left pressed in
    QCOMPARE(QApplication::focusWidget(), phone.cmdSend);
}

void TestNumberEntry::pauseAndClearDuringACall() {
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    t.startCall(true);
    phone.txtName->setText(QStringLiteral("SMITH JOHN"));
    phone.txtNumberOut->setText(QStringLiteral("9"));
    QTest::mouseClick(phone.cmdPause, Qt::LeftButton);
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("9,"));
    QCOMPARE(phone.txtName->text(), QStringLiteral("SMITH JOHN"));
    QCOMPARE(t.written(), QByteArray());

    phone.txtStatus->setText(QStringLiteral("In Use"));
    phone.txtNumberIn->setText(QStringLiteral("5551234"));
    QTest::mouseClick(phone.cmdClear, Qt::LeftButton);
    for (DisplayBox* box : {phone.txtStatus, phone.txtNumberOut, phone.txtNumberIn, phone.txtName}) {
        QCOMPARE(box->text(), QString());
    }
    QVERIFY(t.rig.shared.CallActive);
    QCOMPARE(t.written(), QByteArray());
}

void TestNumberEntry::redial_data() {
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("lastDialed");
    QTest::addColumn<bool>("incoming");
    QTest::addColumn<QString>("shown");
    QTest::newRow("nothing stored empties the display") << false << "" << false << "";
    QTest::newRow("the last number") << true << "9,5551234" << false << "9,5551234";
    QTest::newRow("a hand-edited number keeps its digits") << true << "(555) 123-4567" << false << "5551234567";
    QTest::newRow("a line end never reaches the display") << true << "5551234\rATZ" << false << "5551234";
    QTest::newRow("an incoming call keeps the display") << true << "5551234" << true << "777";
    QTest::newRow("an incoming call, nothing stored") << false << "" << true << "777";
}

void TestNumberEntry::redial() {
    QFETCH(bool, stored);
    QFETCH(QString, lastDialed);
    QFETCH(bool, incoming);
    QFETCH(QString, shown);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    if (stored) {
        t.rig.store().write(Settings::Modem, QStringLiteral("LastDialed"), lastDialed);
    }
    phone.state.IncomingCall = incoming;
    phone.txtNumberOut->setText(QStringLiteral("777"));
    phone.cmdClear->setFocus();
    QSignalSpy sends(phone.cmdSend, &QPushButton::clicked);
    QTest::mouseClick(phone.cmdRedial, Qt::LeftButton);
    QCOMPARE(phone.txtNumberOut->text(), shown);
    QCOMPARE(QApplication::focusWidget(), phone.cmdSend);
    QCOMPARE(sends.count(), 0); // Redial does not dial
    QCOMPARE(t.written(), QByteArray());
}

void TestNumberEntry::dialable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kept");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("every allowed symbol") << "0123456789*#,"
                                          << "0123456789*#,";
    QTest::newRow("blanks and dashes") << " 555 - 1234 "
                                       << "5551234";
    QTest::newRow("letters and command characters") << "ATDT5;+++\r\n"
                                                    << "5";
    QTest::newRow("other digits than ASCII") << QStringLiteral("\u0665\u0661") << "";
}

void TestNumberEntry::dialable() {
    QFETCH(QString, text);
    QFETCH(QString, kept);
    QCOMPARE(NumberEntry::dialable(text), kept);
}

void TestNumberEntry::keysDuringACallWithThePortClosed() {
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    t.startCall(true);
    phone.cmdOnOff->click(); // detaching leaves the call state as it is
    QVERIFY(!phone.comModem->portOpen());
    QSignalSpy wire(phone.comModem, &SerialControl::bytesWritten);
    t.type('1');
    t.type(Qt::Key_Slash, Qt::KeypadModifier);
    QTest::mouseClick(phone.cmdNumber[10], Qt::LeftButton);
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("1#0"));
    QCOMPARE(wire.count(), 0);
    QCOMPARE(t.rig.messages.boxes.size(), 1); // once for the call, not once a key
    QVERIFY(t.rig.messages.boxes.first().text.contains(QStringLiteral("not attached")));

    t.startCall(true); // the next call is told again
    t.type('2');
    QCOMPARE(t.rig.messages.boxes.size(), 2);
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("1#02"));
    QCOMPARE(wire.count(), 0);
}

QTEST_MAIN(TestNumberEntry)
#include "tst_numberentry.moc"
