#include "AttachedPhoneTest.h"
#include "console/frmPhone.h"
#include "modem/SerialControl.h"
#include "platform/Controls.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

namespace {

const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);

// Where on `slider` a click sets `value`: the handle's centre at that value.
QPoint pointOfValue(const QSlider& slider, int value) {
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    option.subControls = QStyle::SC_All;
    QStyle* style = slider.style();
    const QRect groove = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, &slider);
    const QRect handle = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
    const int span = groove.width() - handle.width();
    const int x = groove.x() + handle.width() / 2 +
                  QStyle::sliderPositionFromValue(slider.minimum(), slider.maximum(), value, span);
    return {x, slider.height() / 2};
}

QString storedSpeaker(AttachedPhone& t) {
    return t.rig.store().read(Settings::Modem, QStringLiteral("Speaker"));
}

} // namespace

// Hold, Mute, Flash and the two sliders against an attached window: the exact lines, the toggles,
// the captions' colours and the status display.
class TestAudioControls : public AttachedPhoneTest {
    Q_OBJECT
private slots:
    void buttonsOutsideACallDoNothing_data();
    void buttonsOutsideACallDoNothing();
    void holdTwice_data();
    void holdTwice();
    void muteThenHoldTwiceThenMute();
    void flash();
    void speakerLevel_data();
    void speakerLevel();
    void microphoneGain_data();
    void microphoneGain();
    void microphoneGainByWheelAndKeys_data();
    void microphoneGainByWheelAndKeys();
    void microphoneGainSetByCodeSendsNothing();
    void controlsDuringACallWithThePortClosed();
};

void TestAudioControls::buttonsOutsideACallDoNothing_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("Hold") << "cmdHold";
    QTest::newRow("Mute") << "cmdMute";
    QTest::newRow("Flash") << "cmdFlash";
}

void TestAudioControls::buttonsOutsideACallDoNothing() {
    QFETCH(QString, button);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    phone.state.VoiceConnected = true; // a connection alone is no call
    phone.txtStatus->setText(QStringLiteral("status"));
    auto* pressed = phone.findChild<CommandButton*>(button);
    QVERIFY(pressed);
    QTest::mouseClick(pressed, Qt::LeftButton);
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(t.written(), QByteArray());
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("status"));
    QVERIFY(!phone.state.OnHold);
    QVERIFY(!phone.state.Muted);
    QCOMPARE(phone.cmdHold->captionColor(), Black);
    QCOMPARE(phone.cmdMute->captionColor(), Black);
}

void TestAudioControls::holdTwice_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("connected");
    QTest::newRow("level 5") << 5 << true;
    QTest::newRow("level 15") << 15 << true;
    QTest::newRow("level 0 before the voice connection") << 0 << false;
}

void TestAudioControls::holdTwice() {
    QFETCH(int, level);
    QFETCH(bool, connected);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    phone.Slider1->setValue(level);
    t.startCall(connected);
    QTest::mouseClick(phone.cmdHold, Qt::LeftButton);
    QCOMPARE(t.written(), QByteArray("AT#SPK=0,16,,\r"));
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("HOLD"));
    QCOMPARE(phone.cmdHold->captionColor(), Red);
    QVERIFY(phone.state.OnHold);

    QTest::mouseClick(phone.cmdHold, Qt::LeftButton);
    QCOMPARE(t.written(), QByteArrayLiteral("AT#SPK=1,") + QByteArray::number(level) + ",0\r");
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("In Use"));
    QCOMPARE(phone.cmdHold->captionColor(), Black);
    QVERIFY(!phone.state.OnHold);
    QVERIFY(!phone.state.Muted);
}

void TestAudioControls::muteThenHoldTwiceThenMute() {
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    t.startCall(true);
    QTest::mouseClick(phone.cmdMute, Qt::LeftButton);
    QCOMPARE(t.written(), QByteArray("AT#SPK=0,,,\r"));
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("MUTE"));
    QCOMPARE(phone.cmdMute->captionColor(), Red);

    QTest::mouseClick(phone.cmdHold, Qt::LeftButton);
    QTest::mouseClick(phone.cmdHold, Qt::LeftButton);
    // Releasing hold switches the microphone on at the modem; Mute still shows what the user chose.
    QCOMPARE(t.written(), QByteArray("AT#SPK=0,16,,\rAT#SPK=1,5,0\r"));
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("In Use"));
    QVERIFY(phone.state.Muted);
    QCOMPARE(phone.cmdMute->captionColor(), Red);
    QCOMPARE(phone.cmdHold->captionColor(), Black);

    QTest::mouseClick(phone.cmdMute, Qt::LeftButton);
    QCOMPARE(t.written(), QByteArray("AT#SPK=1,,,\r"));
    QVERIFY(!phone.state.Muted);
    QCOMPARE(phone.cmdMute->captionColor(), Black);
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("In Use"));
}

void TestAudioControls::flash() {
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    t.startCall(true);
    phone.txtStatus->setText(QStringLiteral("In Use"));
    phone.txtNumberOut->setText(QStringLiteral("5551234"));
    QTest::mouseClick(phone.cmdFlash, Qt::LeftButton);
    QCOMPARE(t.written(), QByteArray("AT#VTS=!\r"));
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("In Use"));
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("5551234"));
    QCOMPARE(phone.cmdFlash->captionColor(), Black);
    QVERIFY(!phone.state.OnHold);
    QVERIFY(!phone.state.Muted);
}

void TestAudioControls::speakerLevel_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<char>("key");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<bool>("callActive");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("- in a connected call") << 5 << '-' << false << true << true << 6 << QByteArray("AT#SPK=,6,,\r");
    QTest::newRow("+ in a connected call") << 5 << '+' << false << true << true << 4 << QByteArray("AT#SPK=,4,,\r");
    QTest::newRow("keypad - in a connected call")
        << 9 << '-' << true << true << true << 10 << QByteArray("AT#SPK=,10,,\r");
    QTest::newRow("keypad + in a connected call")
        << 1 << '+' << true << true << true << 0 << QByteArray("AT#SPK=,0,,\r");
    QTest::newRow("- before the voice connection") << 5 << '-' << false << true << false << 6 << QByteArray();
    QTest::newRow("- outside a call") << 5 << '-' << false << false << false << 6 << QByteArray();
    QTest::newRow("- with a stale connection flag but no call")
        << 5 << '-' << false << false << true << 6 << QByteArray();
    QTest::newRow("+ at the lowest level") << 0 << '+' << false << true << true << 0 << QByteArray();
    QTest::newRow("- at the highest level") << 15 << '-' << true << true << true << 15 << QByteArray();
}

void TestAudioControls::speakerLevel() {
    QFETCH(int, start);
    QFETCH(char, key);
    QFETCH(bool, keypad);
    QFETCH(bool, callActive);
    QFETCH(bool, connected);
    QFETCH(int, level);
    QFETCH(QByteArray, written);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    phone.Slider1->setValue(start);
    t.rig.shared.CallActive = callActive;
    phone.state.VoiceConnected = connected;
    t.rig.store().write(Settings::Modem, QStringLiteral("Speaker"), QStringLiteral("untouched"));
    t.type(key == '-' ? Qt::Key_Minus : Qt::Key_Plus, keypad ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(phone.Slider1->value(), level);
    QCOMPARE(t.written(), written);
    QCOMPARE(storedSpeaker(t), level == start ? QStringLiteral("untouched") : QString::number(level));
    QCOMPARE(phone.state.SpeakerLevel, level);
    QCOMPARE(QApplication::focusWidget(), phone.cmdSend);
}

void TestAudioControls::microphoneGain_data() {
    QTest::addColumn<bool>("callActive");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("in a connected call") << true << true << 2 << QByteArray("AT#SPK=,,2 \r");
    QTest::newRow("before the voice connection") << true << false << 1 << QByteArray();
    QTest::newRow("outside a call") << false << false << 1 << QByteArray();
}

void TestAudioControls::microphoneGain() {
    QFETCH(bool, callActive);
    QFETCH(bool, connected);
    QFETCH(int, value);
    QFETCH(QByteArray, written);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    t.rig.shared.CallActive = callActive;
    phone.state.VoiceConnected = connected;
    QSignalSpy moved(phone.Slider2, &QAbstractSlider::valueChanged);
    QTest::mouseClick(phone.Slider2, Qt::LeftButton, Qt::NoModifier, pointOfValue(*phone.Slider2, 2));
    QCOMPARE(moved.value(0).value(0).toInt(), 2); // the click did move it
    QCOMPARE(phone.Slider2->value(), value);
    QCOMPARE(t.written(), written);
}

void TestAudioControls::microphoneGainByWheelAndKeys_data() {
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

void TestAudioControls::microphoneGainByWheelAndKeys() {
    QFETCH(int, wheel);
    QFETCH(int, key);
    QFETCH(bool, connected);
    QFETCH(int, value);
    QFETCH(QByteArray, written);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    if (connected) {
        t.startCall(true);
    }
    QSignalSpy moved(phone.Slider2, &QAbstractSlider::valueChanged);
    QSignalSpy clicks(phone.Slider2, &Slider::clicked);
    if (wheel != 0) {
        const QPointF at = phone.Slider2->rect().center();
        QWheelEvent turn(at, phone.Slider2->mapToGlobal(at), QPoint(), QPoint(0, wheel), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(phone.Slider2, &turn);
    } else {
        phone.Slider2->setFocus();
        t.type(Qt::Key(key));
    }
    QVERIFY(!moved.isEmpty()); // the user did move it
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(phone.Slider2->value(), value);
    QCOMPARE(t.written(), written);
}

void TestAudioControls::microphoneGainSetByCodeSendsNothing() {
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    t.startCall(true);
    phone.Slider2->setValue(3);
    phone.Slider2->setValue(1);
    QCOMPARE(t.written(), QByteArray());
    // The speaker slider set by code is another matter: its level goes out during the call.
    phone.Slider1->setValue(7);
    QCOMPARE(t.written(), QByteArray("AT#SPK=,7,,\r"));
    QCOMPARE(storedSpeaker(t), QStringLiteral("7"));
}

void TestAudioControls::controlsDuringACallWithThePortClosed() {
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    t.startCall(true);
    phone.cmdOnOff->click(); // detaching leaves the call state as it is
    QVERIFY(!phone.comModem->portOpen());
    QSignalSpy wire(phone.comModem, &SerialControl::bytesWritten);

    QTest::mouseClick(phone.cmdHold, Qt::LeftButton);
    QVERIFY(phone.state.OnHold);
    QCOMPARE(phone.cmdHold->captionColor(), Red);
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("HOLD"));
    QTest::mouseClick(phone.cmdMute, Qt::LeftButton);
    QVERIFY(phone.state.Muted);
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("MUTE"));
    QTest::mouseClick(phone.cmdFlash, Qt::LeftButton);
    t.type('-');
    QCOMPARE(phone.Slider1->value(), 6);
    QCOMPARE(storedSpeaker(t), QStringLiteral("6"));
    QTest::mouseClick(phone.Slider2, Qt::LeftButton, Qt::NoModifier, pointOfValue(*phone.Slider2, 2));
    QCOMPARE(phone.Slider2->value(), 2);

    QCOMPARE(wire.count(), 0);
    QCOMPARE(t.rig.messages.boxes.size(), 1); // told once for the call
    QVERIFY(phone.isVisible());
}

QTEST_MAIN(TestAudioControls)
#include "tst_audiocontrols.moc"
