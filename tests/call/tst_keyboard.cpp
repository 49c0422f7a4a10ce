#include "WindowLine.h"
#include "console/Phone.h"
#include "console/PhoneFace.h"
#include "platform/Controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <memory>

// Keys typed at the real window: that each reaches the telephone once, that a key the telephone
// has no use for still reaches the control it was typed into, and where the focus goes. What
// each key does is tested on the telephone alone (tst_numberentry, tst_audiocontrols).
class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keysThatClickAButton_data();
    void keysThatClickAButton();
    void charactersReachTheTelephone_data();
    void charactersReachTheTelephone();
    void keysTheTelephoneDoesNotTake_data();
    void keysTheTelephoneDoesNotTake();
    void gainSliderKeysAndWheel_data();
    void gainSliderKeysAndWheel();

private:
    std::unique_ptr<WindowLine> m_line;
};

namespace {

using Box = PhoneView::Box;

const QByteArray Answer("ATA\r");

// Counts the presses of one key that reach a control.
class KeyPresses : public QObject {
public:
    KeyPresses(QWidget* control, int key)
        : m_key(key) {
        control->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == m_key) {
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int m_key;
};

} // namespace

void TestKeyboard::init() {
    m_line = std::make_unique<WindowLine>();
    QVERIFY(m_line->attach());
    QVERIFY(m_line->activate());
}

void TestKeyboard::cleanup() {
    m_line.reset();
}

// Enter works Send once wherever the focus is (the default button does not click it again);
// Space clicks the focused button once, and Send takes it itself. The focus ends on Send.
void TestKeyboard::keysThatClickAButton_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("numberOut");
    const int none = Qt::NoModifier;
    const int pad = Qt::KeypadModifier;
    QTest::newRow("Enter on Send") << "cmdSend" << int(Qt::Key_Return) << none << Answer << "";
    QTest::newRow("Enter on Hold") << "cmdHold" << int(Qt::Key_Return) << none << Answer << "";
    QTest::newRow("Enter on a keypad key") << "cmdNumber_4" << int(Qt::Key_Return) << none << Answer << "";
    QTest::newRow("keypad Enter on Send") << "cmdSend" << int(Qt::Key_Enter) << pad << Answer << "";
    QTest::newRow("keypad Enter on the speaker slider") << "Slider1" << int(Qt::Key_Enter) << pad << Answer << "";
    QTest::newRow("Space on Send") << "cmdSend" << int(Qt::Key_Space) << none << Answer << "";
    QTest::newRow("Space on Pause") << "cmdPause" << int(Qt::Key_Space) << none << QByteArray() << ",";
    QTest::newRow("Space on a keypad key") << "cmdNumber_10" << int(Qt::Key_Space) << none << QByteArray() << "0";
    QTest::newRow("Space on the gain slider") << "Slider2" << int(Qt::Key_Space) << none << QByteArray() << "";
}

void TestKeyboard::keysThatClickAButton() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QByteArray, written);
    QFETCH(QString, numberOut);
    WindowLine& line = *m_line;
    auto* focused = line.control(focus);
    QVERIFY(focused);
    focused->setFocus();
    QCOMPARE(QApplication::focusWidget(), focused);
    line.type(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(line.written(), written); // once
    QCOMPARE(line.phone().face().text(Box::NumberOut), numberOut);
    if (auto* button = qobject_cast<QAbstractButton*>(focused)) {
        QVERIFY(!button->isDown()); // not left pressed in
    }
    QCOMPARE(QApplication::focusWidget(), line.control(QStringLiteral("cmdSend")));
}

// Typed into another control (the gain slider), a character goes to the telephone: the numeric
// keypad's keys as the others, "/" as "#", "-" a speaker step. The slider itself is not moved.
void TestKeyboard::charactersReachTheTelephone_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("numberOut");
    QTest::addColumn<int>("speakerLevel");
    const int none = Qt::NoModifier;
    const int pad = Qt::KeypadModifier;
    QTest::newRow("3") << int(Qt::Key_3) << none << "553" << 5;
    QTest::newRow("keypad 7") << int(Qt::Key_7) << pad << "557" << 5;
    QTest::newRow("keypad /") << int(Qt::Key_Slash) << pad << "55#" << 5;
    QTest::newRow("keypad *") << int(Qt::Key_Asterisk) << pad << "55*" << 5;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "5" << 5;
    QTest::newRow("keypad -") << int(Qt::Key_Minus) << pad << "55" << 6;
    QTest::newRow("+") << int(Qt::Key_Plus) << none << "55" << 4;
}

void TestKeyboard::charactersReachTheTelephone() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, numberOut);
    QFETCH(int, speakerLevel);
    WindowLine& line = *m_line;
    line.phone().face().setText(Box::NumberOut, QStringLiteral("55"));
    auto* gain = line.control<QSlider>(QStringLiteral("Slider2"));
    QVERIFY(gain);
    gain->setFocus();
    line.type(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(line.phone().face().text(Box::NumberOut), numberOut);
    QCOMPARE(line.control<DisplayBox>(QStringLiteral("txtNumberOut"))->text(), numberOut);
    QCOMPARE(line.phone().face().speakerLevel(), speakerLevel);
    QCOMPARE(line.control<QSlider>(QStringLiteral("Slider1"))->value(), speakerLevel);
    QCOMPARE(gain->value(), 1);
    QCOMPARE(QApplication::focusWidget(), line.control(QStringLiteral("cmdSend")));
    QCOMPARE(line.written(), QByteArray());
}

// A key the telephone has no use for, and a shortcut with Ctrl or Alt, goes on to the control it
// was typed into, once; a key the telephone used does not.
void TestKeyboard::keysTheTelephoneDoesNotTake_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("reached");
    QTest::addColumn<QString>("numberOut");
    QTest::newRow("a letter") << int(Qt::Key_X) << int(Qt::NoModifier) << 1 << "55";
    QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier) << 1 << "55";
    QTest::newRow("Ctrl+5") << int(Qt::Key_5) << int(Qt::ControlModifier) << 1 << "55";
    QTest::newRow("Alt+5") << int(Qt::Key_5) << int(Qt::AltModifier) << 1 << "55";
    QTest::newRow("Ctrl+E") << int(Qt::Key_E) << int(Qt::ControlModifier) << 1 << "55";
    QTest::newRow("a digit is used up") << int(Qt::Key_5) << int(Qt::NoModifier) << 0 << "555";
}

void TestKeyboard::keysTheTelephoneDoesNotTake() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, reached);
    QFETCH(QString, numberOut);
    WindowLine& line = *m_line;
    line.phone().face().setText(Box::NumberOut, QStringLiteral("55"));
    auto* hold = line.control(QStringLiteral("cmdHold"));
    QVERIFY(hold);
    hold->setFocus();
    KeyPresses presses(hold, key);
    line.type(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(presses.count, reached);
    QCOMPARE(line.phone().face().text(Box::NumberOut), numberOut);
    QCOMPARE(line.written(), QByteArray()); // not End, not a tone
}

// The slider's own keys and the wheel move Slider2 as a click does: Slider2_Click once with the
// value it was moved to.
void TestKeyboard::gainSliderKeysAndWheel_data() {
    QTest::addColumn<int>("wheel"); // angle turned, in eighths of a degree; 0 for a key
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("wheel up in a connected call") << 120 << 0 << true << 2 << QByteArray("AT#SPK=,,2 \r");
    QTest::newRow("wheel down in a connected call") << -120 << 0 << true << 0 << QByteArray("AT#SPK=,,0 \r");
    QTest::newRow("wheel outside a call") << 120 << 0 << false << 1 << QByteArray();
    QTest::newRow("Right in a connected call") << 0 << int(Qt::Key_Right) << true << 2 << QByteArray("AT#SPK=,,2 \r");
    QTest::newRow("End in a connected call") << 0 << int(Qt::Key_End) << true << 3 << QByteArray("AT#SPK=,,3 \r");
    QTest::newRow("Left outside a call") << 0 << int(Qt::Key_Left) << false << 1 << QByteArray();
}

void TestKeyboard::gainSliderKeysAndWheel() {
    QFETCH(int, wheel);
    QFETCH(int, key);
    QFETCH(bool, connected);
    QFETCH(int, value);
    QFETCH(QByteArray, written);
    WindowLine& line = *m_line;
    if (connected) {
        line.startCall(true);
    }
    auto* gain = line.control<Slider>(QStringLiteral("Slider2"));
    QVERIFY(gain);
    QSignalSpy moved(gain, &QAbstractSlider::valueChanged);
    QSignalSpy clicks(gain, &Slider::clicked);
    if (wheel != 0) {
        const QPointF at = gain->rect().center();
        QWheelEvent turn(at, gain->mapToGlobal(at), QPoint(), QPoint(0, wheel), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(gain, &turn);
    } else {
        gain->setFocus();
        line.type(Qt::Key(key));
    }
    QVERIFY(!moved.isEmpty()); // the user did move it
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(gain->value(), value);
    QCOMPARE(line.phone().face().microphoneGain(), value);
    QCOMPARE(line.written(), written);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
