#include "PhoneLine.h"
#include "call/AudioControls.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/SerialControl.h"

#include <QTest>
#include <memory>

// Hold, Mute, Flash and the two sliders on an attached telephone: the exact lines, the toggles,
// the latched captions and the status display, and what they do outside a call.
class TestAudioControls : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
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
    void microphoneGainSetByCodeSendsNothing();
    void controlsDuringACallWithThePortClosed();

private:
    std::unique_ptr<PhoneLine> m_line;
};

namespace {

using Box = PhoneView::Box;
using Latch = PhoneView::Latch;

QString storedSpeaker(PhoneLine& line) {
    return line.store().read(Settings::Modem, QStringLiteral("Speaker"));
}

void click(AudioControls& audio, const QString& button) {
    if (button == QLatin1String("Hold")) {
        audio.cmdHold_Click();
    } else if (button == QLatin1String("Mute")) {
        audio.cmdMute_Click();
    } else {
        audio.cmdFlash_Click();
    }
}

} // namespace

void TestAudioControls::init() {
    m_line = std::make_unique<PhoneLine>();
    QVERIFY(m_line->attach());
}

void TestAudioControls::cleanup() {
    m_line.reset();
}

void TestAudioControls::buttonsOutsideACallDoNothing_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("Hold") << "Hold";
    QTest::newRow("Mute") << "Mute";
    QTest::newRow("Flash") << "Flash";
}

void TestAudioControls::buttonsOutsideACallDoNothing() {
    QFETCH(QString, button);
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    QVERIFY(line.reportConnection()); // a connection alone is no call
    face.setText(Box::Status, QStringLiteral("status"));
    click(phone.audio(), button);
    click(phone.audio(), button);
    QCOMPARE(line.written(), QByteArray());
    QCOMPARE(face.text(Box::Status), QStringLiteral("status"));
    QVERIFY(!phone.state.OnHold);
    QVERIFY(!phone.state.Muted);
    QVERIFY(!face.latched(Latch::Hold));
    QVERIFY(!face.latched(Latch::Mute));
    QVERIFY(line.messages.boxes.isEmpty());
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
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    face.setSpeakerLevel(level);
    line.startCall(connected);
    phone.audio().cmdHold_Click();
    QCOMPARE(line.written(), QByteArray("AT#SPK=0,16,,\r"));
    QCOMPARE(face.text(Box::Status), QStringLiteral("HOLD"));
    QVERIFY(face.latched(Latch::Hold));
    QVERIFY(phone.state.OnHold);

    line.clearWritten();
    phone.audio().cmdHold_Click();
    QCOMPARE(line.written(), QByteArrayLiteral("AT#SPK=1,") + QByteArray::number(level) + ",0\r");
    QCOMPARE(face.text(Box::Status), QStringLiteral("In Use"));
    QVERIFY(!face.latched(Latch::Hold));
    QVERIFY(!phone.state.OnHold);
    QVERIFY(!phone.state.Muted);
}

void TestAudioControls::muteThenHoldTwiceThenMute() {
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    AudioControls& audio = phone.audio();
    line.startCall(true);
    audio.cmdMute_Click();
    QCOMPARE(line.written(), QByteArray("AT#SPK=0,,,\r"));
    QCOMPARE(face.text(Box::Status), QStringLiteral("MUTE"));
    QVERIFY(face.latched(Latch::Mute));

    line.clearWritten();
    audio.cmdHold_Click();
    audio.cmdHold_Click();
    // Releasing hold switches the microphone on at the modem; Mute still shows what the user chose.
    QCOMPARE(line.written(), QByteArray("AT#SPK=0,16,,\rAT#SPK=1,5,0\r"));
    QCOMPARE(face.text(Box::Status), QStringLiteral("In Use"));
    QVERIFY(phone.state.Muted);
    QVERIFY(face.latched(Latch::Mute));
    QVERIFY(!face.latched(Latch::Hold));

    line.clearWritten();
    audio.cmdMute_Click();
    QCOMPARE(line.written(), QByteArray("AT#SPK=1,,,\r"));
    QVERIFY(!phone.state.Muted);
    QVERIFY(!face.latched(Latch::Mute));
    QCOMPARE(face.text(Box::Status), QStringLiteral("In Use"));
}

void TestAudioControls::flash() {
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    line.startCall(true);
    face.setText(Box::Status, QStringLiteral("In Use"));
    face.setText(Box::NumberOut, QStringLiteral("5551234"));
    line.view.log.clear();
    phone.audio().cmdFlash_Click();
    QCOMPARE(line.written(), QByteArray("AT#VTS=!\r"));
    QVERIFY(line.view.log.isEmpty()); // Flash shows nothing: no text, no latched caption
    QCOMPARE(face.text(Box::Status), QStringLiteral("In Use"));
    QCOMPARE(face.text(Box::NumberOut), QStringLiteral("5551234"));
    QVERIFY(!phone.state.OnHold);
    QVERIFY(!phone.state.Muted);
}

// Slider1's change, however it came (the user, the keys, code): the level goes out only during a
// connected call, and is stored in any case.
void TestAudioControls::speakerLevel_data() {
    QTest::addColumn<bool>("callActive");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("in a connected call") << true << true << QByteArray("AT#SPK=,7,,\r");
    QTest::newRow("before the voice connection") << true << false << QByteArray();
    QTest::newRow("outside a call") << false << false << QByteArray();
    QTest::newRow("a stale connection flag but no call") << false << true << QByteArray();
}

void TestAudioControls::speakerLevel() {
    QFETCH(bool, callActive);
    QFETCH(bool, connected);
    QFETCH(QByteArray, written);
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    QVERIFY(line.setUpCall(callActive, connected));
    phone.face().setSpeakerLevel(7);
    QCOMPARE(line.written(), written);
    QCOMPARE(storedSpeaker(line), QStringLiteral("7"));
    QCOMPARE(phone.state.SpeakerLevel, 7);
    QVERIFY(line.view.log.contains(QStringLiteral("speaker 7")));
}

// Slider2's click, which left it at `value`: the gain goes out during a connected call; otherwise
// the slider goes back to 1.
void TestAudioControls::microphoneGain_data() {
    QTest::addColumn<bool>("callActive");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("gain");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("2 in a connected call") << true << true << 2 << 2 << QByteArray("AT#SPK=,,2 \r");
    QTest::newRow("0 in a connected call") << true << true << 0 << 0 << QByteArray("AT#SPK=,,0 \r");
    QTest::newRow("3 in a connected call") << true << true << 3 << 3 << QByteArray("AT#SPK=,,3 \r");
    QTest::newRow("before the voice connection") << true << false << 2 << 1 << QByteArray();
    QTest::newRow("outside a call") << false << false << 2 << 1 << QByteArray();
    QTest::newRow("a stale connection flag but no call") << false << true << 3 << 1 << QByteArray();
}

void TestAudioControls::microphoneGain() {
    QFETCH(bool, callActive);
    QFETCH(bool, connected);
    QFETCH(int, value);
    QFETCH(int, gain);
    QFETCH(QByteArray, written);
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    QVERIFY(line.setUpCall(callActive, connected));
    line.view.log.clear();
    phone.audio().Slider2_Click(value);
    QCOMPARE(phone.face().microphoneGain(), gain);
    // The slider the user moved is told where it stands, also when that is where it was.
    QCOMPARE(line.view.log, QStringList(QStringLiteral("gain %1").arg(gain)));
    QCOMPARE(line.written(), written);
}

void TestAudioControls::microphoneGainSetByCodeSendsNothing() {
    PhoneLine& line = *m_line;
    PhoneFace& face = line.phone().face();
    line.startCall(true);
    face.setMicrophoneGain(3);
    face.setMicrophoneGain(1);
    QCOMPARE(line.written(), QByteArray());
    QCOMPARE(face.microphoneGain(), 1);
}

void TestAudioControls::controlsDuringACallWithThePortClosed() {
    PhoneLine& line = *m_line;
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    AudioControls& audio = phone.audio();
    line.startCall(true);
    phone.cmdOnOff_Click(); // detaching leaves the call state as it is
    QVERIFY(!phone.comModem().portOpen());
    line.clearWritten();

    audio.cmdHold_Click();
    QVERIFY(phone.state.OnHold);
    QVERIFY(face.latched(Latch::Hold));
    QCOMPARE(face.text(Box::Status), QStringLiteral("HOLD"));
    audio.cmdMute_Click();
    QVERIFY(phone.state.Muted);
    QCOMPARE(face.text(Box::Status), QStringLiteral("MUTE"));
    audio.cmdFlash_Click();
    QVERIFY(phone.Form_KeyPress('-'));
    QCOMPARE(face.speakerLevel(), 6);
    QCOMPARE(storedSpeaker(line), QStringLiteral("6"));
    audio.Slider2_Click(2);
    QCOMPARE(face.microphoneGain(), 2);

    QCOMPARE(line.written(), QByteArray());
    QCOMPARE(line.messages.boxes.size(), 1); // told once for the call
    QVERIFY(line.view.visible);
}

QTEST_GUILESS_MAIN(TestAudioControls)
#include "tst_audiocontrols.moc"
