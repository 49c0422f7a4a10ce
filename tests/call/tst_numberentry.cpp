#include "AttachedPhoneTest.h"
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
    void keysThatClickAButton_data();
    void keysThatClickAButton();
    void pauseAndClearDuringACall();
    void redial_data();
    void redial();
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
    QTest::newRow("0 in a call") << int(Qt::Key_0) << none << true << "0";
    QTest::newRow("* in a call") << int(Qt::Key_Asterisk) << none << true << "*";
    QTest::newRow("# in a call") << int(Qt::Key_NumberSign) << none << true << "#";
    QTest::newRow("/ in a call is #") << int(Qt::Key_Slash) << none << true << "#";
    QTest::newRow("keypad 5 in a call") << int(Qt::Key_5) << pad << true << "5";
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

void TestNumberEntry::keysThatClickAButton_data() {
    QTest::addColumn<int>("key"); // a character, or a Qt::Key beyond them
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("clicked"); // the one button clicked, or none
    const auto row = [](const char* name, int key, Qt::KeyboardModifiers modifiers, const char* focus,
                        const char* clicked) {
        QTest::newRow(name) << key << int(modifiers) << QString::fromLatin1(focus) << QString::fromLatin1(clicked);
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    row("Enter on Send", Qt::Key_Return, none, "cmdSend", "cmdSend");
    row("Enter on Hold", Qt::Key_Return, none, "cmdHold", "cmdSend");
    row("Enter on a keypad key", Qt::Key_Return, none, "cmdNumber_4", "cmdSend");
    row("keypad Enter on Send", Qt::Key_Enter, Qt::KeypadModifier, "cmdSend", "cmdSend");
    row("keypad Enter on the speaker slider", Qt::Key_Enter, Qt::KeypadModifier, "Slider1", "cmdSend");
    row("E", 'E', none, "cmdHold", "cmdEnd");
    row("e", 'e', none, "cmdSend", "cmdEnd");
    row("F clicks nothing", 'F', none, "cmdHold", "");
    row("Space on Send", ' ', none, "cmdSend", "cmdSend");
    row("Space on Pause", ' ', none, "cmdPause", "cmdPause");
    row("Space on a keypad key", ' ', none, "cmdNumber_10", "cmdNumber_10");
    row("Space on the gain slider", ' ', none, "Slider2", "");
}

void TestNumberEntry::keysThatClickAButton() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, focus);
    QFETCH(QString, clicked);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    QStringList clicks;
    for (QAbstractButton* button : phone.findChildren<QAbstractButton*>()) {
        connect(button, &QAbstractButton::clicked, this, [&clicks, button] { clicks << button->objectName(); });
    }
    auto* focused = phone.findChild<QWidget*>(focus);
    QVERIFY(focused);
    focused->setFocus();
    if (key < 0x80) {
        t.type(static_cast<char>(key));
    } else {
        t.type(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    }
    QCOMPARE(clicks, clicked.isEmpty() ? QStringList() : QStringList(clicked)); // once, and nothing else
    if (auto* button = qobject_cast<QAbstractButton*>(focused)) {
        QVERIFY(!button->isDown()); // not left pressed in
    }
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
