#include "PhoneLine.h"
#include "call/NumberEntry.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/SerialControl.h"

#include <QTest>
#include <memory>

// Number entry on an attached telephone: the keypad and the characters of the key preview, the
// tones they send during a call, the display's length rule, Pause, Clear, Redial, the speaker
// keys, and where each key leaves the focus. What the window makes of real key events is in
// tst_keyboard.
class TestNumberEntry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keypadButtons_data();
    void keypadButtons();
    void typedCharacters_data();
    void typedCharacters();
    void fifteenthSymbolStartsAfresh_data();
    void fifteenthSymbolStartsAfresh();
    void otherKeys_data();
    void otherKeys();
    void keysThatClickAButton_data();
    void keysThatClickAButton();
    void speakerKeys_data();
    void speakerKeys();
    void pauseAndClearDuringACall();
    void redial_data();
    void redial();
    void keysDuringACallWithThePortClosed();

private:
    std::unique_ptr<PhoneLine> m_line;
};

namespace {

using Box = PhoneView::Box;

constexpr int Enter = 13;
constexpr int Backspace = 8;
constexpr int Esc = 27;

QByteArray tone(QChar symbol) {
    return QByteArray("AT#VBT=1#VTS=") + symbol.toLatin1() + '\r';
}

QString storedSpeaker(PhoneLine& line) {
    return line.store().read(Settings::Modem, QStringLiteral("Speaker"));
}

} // namespace

void TestNumberEntry::init() {
    m_line = std::make_unique<PhoneLine>();
    QVERIFY(m_line->attach());
    m_line->view.log.clear();
}

void TestNumberEntry::cleanup() {
    m_line.reset();
}

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
    PhoneLine& line = *m_line;
    PhoneFace& face = line.phone().face();
    if (inCall) {
        line.startCall(true);
    }
    face.setText(Box::Name, QStringLiteral("SMITH JOHN"));
    face.setText(Box::NumberOut, QStringLiteral("12"));
    line.phone().numberEntry().cmdNumber_Click(index);
    QCOMPARE(face.text(Box::NumberOut), QStringLiteral("12") + symbol);
    QCOMPARE(face.text(Box::Name), QString());
    QCOMPARE(line.written(), inCall ? tone(symbol.at(0)) : QByteArray());
}

void TestNumberEntry::typedCharacters_data() {
    QTest::addColumn<char>("key");
    QTest::addColumn<bool>("inCall");
    QTest::addColumn<QString>("appended");
    QTest::newRow("5 idle") << '5' << false << "5";
    QTest::newRow("7 idle") << '7' << false << "7";
    QTest::newRow("5 in a call") << '5' << true << "5";
    QTest::newRow("0 in a call") << '0' << true << "0";
    QTest::newRow("* in a call") << '*' << true << "*";
    QTest::newRow("# in a call") << '#' << true << "#";
    QTest::newRow("/ in a call is #") << '/' << true << "#";
    QTest::newRow("/ idle is #") << '/' << false << "#";
}

void TestNumberEntry::typedCharacters() {
    QFETCH(char, key);
    QFETCH(bool, inCall);
    QFETCH(QString, appended);
    PhoneLine& line = *m_line;
    PhoneFace& face = line.phone().face();
    if (inCall) {
        line.startCall(false); // tones go out from the dial on, before the voice connection
    }
    face.setText(Box::Name, QStringLiteral("SMITH JOHN"));
    QVERIFY(line.phone().Form_KeyPress(key)); // used up: it goes no further
    QCOMPARE(face.text(Box::NumberOut), appended);
    QCOMPARE(face.text(Box::Name), QString());
    QCOMPARE(line.written(), inCall ? tone(appended.at(0)) : QByteArray());
    QCOMPARE(line.view.log.last(), QStringLiteral("focus Send"));
}

void TestNumberEntry::fifteenthSymbolStartsAfresh_data() {
    QTest::addColumn<bool>("inCall");
    QTest::newRow("idle") << false;
    QTest::newRow("in a call") << true;
}

void TestNumberEntry::fifteenthSymbolStartsAfresh() {
    QFETCH(bool, inCall);
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    if (inCall) {
        line.startCall(true);
    }
    const QByteArray digits("123456789012345");
    QByteArray tones;
    for (const char digit : digits) {
        QVERIFY(phone.Form_KeyPress(digit));
        tones += tone(QLatin1Char(digit));
        if (tones.count('\r') == 14) {
            QCOMPARE(face.text(Box::NumberOut), QString::fromLatin1(digits.left(14)));
        }
    }
    QCOMPARE(face.text(Box::NumberOut), QStringLiteral("5"));
    QCOMPARE(line.written(), inCall ? tones : QByteArray());

    // Fourteen stay as they are; the fifteenth alone remains, whatever put it there.
    face.setText(Box::NumberOut, QStringLiteral("1234567890123"));
    phone.numberEntry().cmdPause_Click();
    QCOMPARE(face.text(Box::NumberOut), QStringLiteral("1234567890123,"));
    QVERIFY(phone.Form_KeyPress('#'));
    QCOMPARE(face.text(Box::NumberOut), QStringLiteral("#"));
    face.setText(Box::NumberOut, QStringLiteral("55512345678901"));
    QCOMPARE(face.text(Box::NumberOut), QStringLiteral("55512345678901"));
    face.setText(Box::NumberOut, QStringLiteral("555123456789012"));
    QCOMPARE(face.text(Box::NumberOut), QStringLiteral("2"));
}

// Keys typed while the focus is elsewhere (the gain slider, in the window): what they do to the
// display, whether they go on to that control, and that the focus goes to Send all the same.
void TestNumberEntry::otherKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("usedUp");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("Backspace on an empty display") << Backspace << ""
                                                   << "" << true << QByteArray();
    QTest::newRow("Backspace removes the last") << Backspace << "55,#"
                                                << "55," << true << QByteArray();
    QTest::newRow("a letter other than E") << int('X') << "55"
                                           << "55" << false << QByteArray();
    QTest::newRow("Esc") << Esc << "55"
                         << "55" << false << QByteArray();
    QTest::newRow("a digit") << int('3') << "55"
                             << "553" << true << QByteArray("AT#VBT=1#VTS=3\r");
}

void TestNumberEntry::otherKeys() {
    QFETCH(int, key);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, usedUp);
    QFETCH(QByteArray, written);
    PhoneLine& line = *m_line;
    PhoneFace& face = line.phone().face();
    line.startCall(true);
    face.setText(Box::NumberOut, before);
    line.view.log.clear();
    QCOMPARE(line.phone().Form_KeyPress(key), usedUp);
    QCOMPARE(face.text(Box::NumberOut), after);
    QCOMPARE(line.view.log.last(), QStringLiteral("focus Send"));
    QCOMPARE(line.written(), written);
    QCOMPARE(face.microphoneGain(), 1);
    QCOMPARE(face.speakerLevel(), 5);
}

// Enter works Send and E works End wherever the focus is; Space clicks the focused button (Send
// takes Space itself, and a control that is no button does nothing with it). Each is one click,
// and the focus then goes to Send.
void TestNumberEntry::keysThatClickAButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focusedButton"); // a button other than Send has the focus
    QTest::addColumn<bool>("usedUp");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("numberOut");
    const QByteArray answer("ATA\r");
    const QByteArray end("ATH\rAT#CLS=8#VLS=6#CID=1\r");
    QTest::newRow("Enter with Send focused") << Enter << "" << true << answer << "";
    QTest::newRow("Enter with Pause focused") << Enter << "cmdPause" << true << answer << "";
    QTest::newRow("E") << int('E') << "cmdPause" << true << end << "";
    QTest::newRow("e") << int('e') << "" << true << end << "";
    QTest::newRow("F clicks nothing") << int('F') << "cmdPause" << false << QByteArray() << "";
    QTest::newRow("Space on Send goes on to Send") << int(' ') << "" << false << QByteArray() << "";
    QTest::newRow("Space on Pause") << int(' ') << "cmdPause" << true << QByteArray() << ",";
    QTest::newRow("Space on a keypad key") << int(' ') << "cmdNumber_10" << true << QByteArray() << "0";
}

void TestNumberEntry::keysThatClickAButton() {
    QFETCH(int, key);
    QFETCH(QString, focusedButton);
    QFETCH(bool, usedUp);
    QFETCH(QByteArray, written);
    QFETCH(QString, numberOut);
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    QStringList clicks;
    if (!focusedButton.isEmpty()) {
        line.view.focusedButton = [&clicks, &phone, focusedButton] {
            clicks << focusedButton;
            if (focusedButton == QLatin1String("cmdPause")) {
                phone.numberEntry().cmdPause_Click();
            } else {
                phone.numberEntry().cmdNumber_Click(10);
            }
        };
    }
    QCOMPARE(phone.Form_KeyPress(key), usedUp);
    QCOMPARE(line.written(), written);
    QCOMPARE(phone.face().text(Box::NumberOut), numberOut);
    if (key == ' ') {
        QCOMPARE(line.view.log.filter(QStringLiteral("click focused")).size(), 1);
        QCOMPARE(clicks, focusedButton.isEmpty() ? QStringList() : QStringList(focusedButton));
    } else {
        QVERIFY(clicks.isEmpty());
    }
    // The focus moves after the click: Space must find the button the user had focused.
    QCOMPARE(line.view.log.last(), QStringLiteral("focus Send"));
    QCOMPARE(line.view.sendFocused, 1);
}

void TestNumberEntry::speakerKeys_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<char>("key");
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("- louder") << 5 << '-' << 6 << QByteArray("AT#SPK=,6,,\r");
    QTest::newRow("+ softer") << 5 << '+' << 4 << QByteArray("AT#SPK=,4,,\r");
    QTest::newRow("- from 9") << 9 << '-' << 10 << QByteArray("AT#SPK=,10,,\r");
    QTest::newRow("+ to the lowest level") << 1 << '+' << 0 << QByteArray("AT#SPK=,0,,\r");
    QTest::newRow("+ at the lowest level") << 0 << '+' << 0 << QByteArray();
    QTest::newRow("- at the highest level") << 15 << '-' << 15 << QByteArray();
}

void TestNumberEntry::speakerKeys() {
    QFETCH(int, start);
    QFETCH(char, key);
    QFETCH(int, level);
    QFETCH(QByteArray, written);
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    phone.face().setSpeakerLevel(start);
    line.startCall(true);
    line.store().write(Settings::Modem, QStringLiteral("Speaker"), QStringLiteral("untouched"));
    line.view.log.clear();
    QVERIFY(phone.Form_KeyPress(key));
    QCOMPARE(phone.face().speakerLevel(), level);
    QCOMPARE(line.written(), written);
    QCOMPARE(storedSpeaker(line), level == start ? QStringLiteral("untouched") : QString::number(level));
    QCOMPARE(phone.state.SpeakerLevel, level);
    QCOMPARE(line.view.log.last(), QStringLiteral("focus Send"));
}

void TestNumberEntry::pauseAndClearDuringACall() {
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    line.startCall(true);
    face.setText(Box::Name, QStringLiteral("SMITH JOHN"));
    face.setText(Box::NumberOut, QStringLiteral("9"));
    phone.numberEntry().cmdPause_Click();
    QCOMPARE(face.text(Box::NumberOut), QStringLiteral("9,"));
    QCOMPARE(face.text(Box::Name), QStringLiteral("SMITH JOHN"));
    QCOMPARE(line.written(), QByteArray());

    face.setText(Box::Status, QStringLiteral("In Use"));
    face.setText(Box::NumberIn, QStringLiteral("5551234"));
    phone.numberEntry().cmdClear_Click();
    for (const Box box : {Box::Status, Box::NumberOut, Box::NumberIn, Box::Name}) {
        QCOMPARE(face.text(box), QString());
    }
    QVERIFY(line.shared.CallActive);
    QCOMPARE(line.written(), QByteArray());
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
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    if (stored) {
        line.store().write(Settings::Modem, QStringLiteral("LastDialed"), lastDialed);
    }
    if (incoming) {
        QVERIFY(line.ringIn());
    }
    phone.face().setText(Box::NumberOut, QStringLiteral("777"));
    line.view.log.clear();
    phone.numberEntry().cmdRedial_Click();
    QCOMPARE(phone.face().text(Box::NumberOut), shown);
    QCOMPARE(line.view.log.last(), QStringLiteral("focus Send"));
    QCOMPARE(line.written(), QByteArray()); // Redial does not dial
    QVERIFY(!line.shared.CallActive);
}

void TestNumberEntry::keysDuringACallWithThePortClosed() {
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    line.startCall(true);
    phone.cmdOnOff_Click(); // detaching leaves the call state as it is
    QVERIFY(!phone.comModem().portOpen());
    line.clearWritten();
    QVERIFY(phone.Form_KeyPress('1'));
    QVERIFY(phone.Form_KeyPress('/'));
    phone.numberEntry().cmdNumber_Click(10);
    QCOMPARE(phone.face().text(Box::NumberOut), QStringLiteral("1#0"));
    QCOMPARE(line.written(), QByteArray());
    QCOMPARE(line.messages.boxes.size(), 1); // once for the call, not once a key
    QVERIFY(line.messages.boxes.first().text.contains(QStringLiteral("not attached")));

    // The next call is told again: End, attached again, a call, detached again.
    phone.calls().cmdEnd_Click();
    phone.cmdOnOff_Click();
    line.startCall(true);
    phone.cmdOnOff_Click();
    line.clearWritten();
    QVERIFY(phone.Form_KeyPress('2'));
    QCOMPARE(line.messages.boxes.size(), 2);
    QCOMPARE(phone.face().text(Box::NumberOut), QStringLiteral("2"));
    QCOMPARE(line.written(), QByteArray());
}

QTEST_GUILESS_MAIN(TestNumberEntry)
#include "tst_numberentry.moc"
