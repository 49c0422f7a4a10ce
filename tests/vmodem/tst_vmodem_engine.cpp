#include "VirtualModemProcess.h"
#include "vmodem/VirtualModem.h"

#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(CallerId)

namespace {

// A line whose clock runs fast: rings 40 ms apart, an S-register second of 10 ms.
ModemConfig fastConfig() {
    ModemConfig config;
    config.answerAfterMs = 20;
    config.busyAfterMs = 10;
    config.ringIntervalMs = 40;
    config.rings = 3;
    config.secondMs = 10;
    config.dialDigitMs = 1;
    config.tenthMs = 1;
    config.busyRepeatMs = 30;
    return config;
}

const QDateTime fixedNow(QDate(2024, 3, 21), QTime(14, 5));
const QByteArray busyTone("\x10"
                          "b");

bool waitUntil(const std::function<bool()>& done) {
    return VirtualModemProcess::waitUntil(done, 3000);
}

ModemConfig personaConfig(Persona::Id persona) {
    ModemConfig config = fastConfig();
    config.persona = persona;
    return config;
}

CallerId caller() {
    return CallerId::number(QStringLiteral("5045551234"), QStringLiteral("A N OTHER"));
}

// One selection of "+VLS=?"; no events are offered.
QByteArray label(const char* head) {
    return QByteArray(head) + ",00000000,00000000,00000000\r\n";
}

// The modem under test and everything it has said.
struct Bench {
    explicit Bench(const ModemConfig& config = fastConfig())
        : modem(config) {
        QObject::connect(&modem, &VirtualModem::transmitted, [this](const QByteArray& bytes) {
            out += bytes;
            chunks << bytes;
        });
        modem.setClock([] { return fixedNow; });
    }

    // What the modem said straight away in reply to `bytes`.
    QByteArray send(const QByteArray& bytes) {
        const qsizetype before = out.size();
        modem.receive(bytes);
        return out.mid(before);
    }
    bool waitFor(const QByteArray& bytes, qsizetype from = 0) {
        return waitUntil([&] { return out.indexOf(bytes, from) >= 0; });
    }
    bool waitForPhase(CallPhase phase) {
        return waitUntil([&] { return modem.status().phase == phase; });
    }
    // An outgoing voice call, connected, with the speakerphone selected.
    bool connectCall() {
        send("AT#CLS=8#VLS=6\r");
        const qsizetype from = out.size();
        send("ATDT5551234\r");
        return waitFor("\r\nVCON\r\n", from) && modem.status().phase == CallPhase::Connected;
    }

    VirtualModem modem;
    QByteArray out;
    QList<QByteArray> chunks;
};

} // namespace

// The modem engine as a host sees it: replies to command lines, calls placed and answered,
// rings and caller ID, the far end's doings. Timers run fast; waits end on conditions.
class TestVmodemEngine : public QObject {
    Q_OBJECT
private slots:
    void commandReplies_data();
    void commandReplies();
    void failedCommandStopsTheRestOfTheLine();
    void noiseNeverStopsTheModem_data();
    void noiseNeverStopsTheModem();
    void voiceCommandsNeedAVoiceConnection_data();
    void voiceCommandsNeedAVoiceConnection();
    void speakerphoneCommandsNeedTheSpeakerphone();
    void firmwareWithoutSelectionSix();
    void tonesPlayBeforeTheNextLineIsRead();
    void outgoingCalls_data();
    void outgoingCalls();
    void hostByteAbandonsCallSetUp();
    void farEndMayDecideWhileDialling();
    void semicolonReturnsToCommandState();
    void ringCadenceAndCallerGivingUp();
    void callerIdBetweenFirstAndSecondRing_data();
    void callerIdBetweenFirstAndSecondRing();
    void answeringStopsTheRinging();
    void answerWithoutCallerOrInDataClass();
    void autoAnswerAfterS0Rings();
    void dialWhileRingingFindsNoDialTone();
    void hangingUp_data();
    void hangingUp();
    void farEndHangsUpDuringACall();
    void lineRefusesWhatItCannotDo();
    void personaReplies_data();
    void personaReplies();
    void v253Calls_data();
    void v253Calls();
    void v253LineSelectionAnswersAndHangsUp();
    void v253CallerId_data();
    void v253CallerId();
    void anotherPersonaStartsAfresh();
};

void TestVmodemEngine::commandReplies_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("AT") << QByteArray("AT\r") << QByteArray("AT\r\r\nOK\r\n");
    QTest::newRow("lower case") << QByteArray("at\r") << QByteArray("at\r\r\nOK\r\n");
    QTest::newRow("line feed after CR echoed, ignored") << QByteArray("AT\r\n") << QByteArray("AT\r\r\nOK\r\n\n");
    QTest::newRow("initialisation line") << QByteArray("AT#CLS=8#VLS=6#CID=1\r")
                                         << QByteArray("AT#CLS=8#VLS=6#CID=1\r\r\nOK\r\n");
    QTest::newRow("lower-case initialisation")
        << QByteArray("at#cls=8#vls=6#cid=1\r") << QByteArray("at#cls=8#vls=6#cid=1\r\r\nOK\r\n");
    QTest::newRow("basics") << QByteArray("ATE1V1Q0X4&C1&D2S0=0\r") << QByteArray("ATE1V1Q0X4&C1&D2S0=0\r\r\nOK\r\n");
    QTest::newRow("unknown letter") << QByteArray("ATJ\r") << QByteArray("ATJ\r\r\nERROR\r\n");
    QTest::newRow("unknown extended") << QByteArray("AT#XYZ=1\r") << QByteArray("AT#XYZ=1\r\r\nERROR\r\n");
    QTest::newRow("unknown plus command") << QByteArray("AT+VCID=1\r") << QByteArray("AT+VCID=1\r\r\nERROR\r\n");
    QTest::newRow("value out of range") << QByteArray("AT#CLS=3\r") << QByteArray("AT#CLS=3\r\r\nERROR\r\n");
    QTest::newRow("value missing") << QByteArray("AT#CID=\r") << QByteArray("AT#CID=\r\r\nERROR\r\n");
    QTest::newRow("numeric results not offered") << QByteArray("ATV0\r") << QByteArray("ATV0\r\r\nERROR\r\n");
    QTest::newRow("read") << QByteArray("AT#CLS=8\rAT#CLS?\r")
                          << QByteArray("AT#CLS=8\r\r\nOK\r\nAT#CLS?\r\r\n8\r\n\r\nOK\r\n");
    QTest::newRow("test") << QByteArray("AT#CLS=?\r") << QByteArray("AT#CLS=?\r\r\n0,1,2,8\r\n\r\nOK\r\n");
    QTest::newRow("register") << QByteArray("ATS7=30S7?\r") << QByteArray("ATS7=30S7?\r\r\n030\r\n\r\nOK\r\n");
    QTest::newRow("register out of range") << QByteArray("ATS3=200\r") << QByteArray("ATS3=200\r\r\nERROR\r\n");
    QTest::newRow("information") << QByteArray("ATI0\r") << QByteArray("ATI0\r\r\n56000\r\n\r\nOK\r\n");
    QTest::newRow("speaker alone gives VCON")
        << QByteArray("AT#CLS=8#VLS=2\r") << QByteArray("AT#CLS=8#VLS=2\r\r\nVCON\r\n");
    QTest::newRow("speakerphone outside voice class")
        << QByteArray("AT#VLS=6\r") << QByteArray("AT#VLS=6\r\r\nERROR\r\n");
    QTest::newRow("noise before the prefix")
        << QByteArray("\x00\xff~AT\r", 6) << QByteArray("\x00\xff~AT\r\r\nOK\r\n", 12);
    QTest::newRow("no prefix, no reply") << QByteArray("hello\r") << QByteArray("hello\r");
    QTest::newRow("mixed-case prefix, no reply") << QByteArray("At\r") << QByteArray("At\r");
    QTest::newRow("over-long line") << QByteArray("AT" + QByteArray(300, 'E') + "\r")
                                    << QByteArray("AT" + QByteArray(300, 'E') + "\r\r\nERROR\r\n");
    QTest::newRow("backspace edits") << QByteArray("ATJ\bE1\r") << QByteArray("ATJ\bE1\r\r\nOK\r\n");
    QTest::newRow("echo off") << QByteArray("ATE0\rAT\r") << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\n");
    QTest::newRow("echo back on") << QByteArray("ATE0\rATE1\rAT\r")
                                  << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\nAT\r\r\nOK\r\n");
    QTest::newRow("reset restores echo") << QByteArray("ATE0\rATZ\rAT\r")
                                         << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\nAT\r\r\nOK\r\n");
    QTest::newRow("quiet") << QByteArray("ATQ1\rAT\rATJ\r") << QByteArray("ATQ1\rAT\rATJ\r");
    QTest::newRow("repeat last line") << QByteArray("AT#CID?\rA/")
                                      << QByteArray("AT#CID?\r\r\n0\r\n\r\nOK\r\nA/\r\n0\r\n\r\nOK\r\n");
    QTest::newRow("changed line end") << QByteArray("ATS3=33\rAT!") << QByteArray("ATS3=33\r!\nOK!\nAT!!\nOK!\n");
}

void TestVmodemEngine::commandReplies() {
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, reply);
    Bench whole;
    QCOMPARE(whole.send(input), reply);
    // The same bytes one at a time: modems never see lines arrive in one piece.
    Bench trickled;
    for (const char byte : input) {
        trickled.send(QByteArray(1, byte));
    }
    QCOMPARE(trickled.out, reply);
}

void TestVmodemEngine::failedCommandStopsTheRestOfTheLine() {
    Bench bench;
    QCOMPARE(bench.send("AT#CID=1#BAD#VBT=5\r"), QByteArray("AT#CID=1#BAD#VBT=5\r\r\nERROR\r\n"));
    QCOMPARE(bench.send("AT#CID?#VBT?\r"), QByteArray("AT#CID?#VBT?\r\r\n1\r\n\r\n10\r\n\r\nOK\r\n"));
}

void TestVmodemEngine::noiseNeverStopsTheModem_data() {
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : {1u, 7u, 42u, 2024u}) {
        QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
}

void TestVmodemEngine::noiseNeverStopsTheModem() {
    QFETCH(quint32, seed);
    Bench bench;
    QRandomGenerator random(seed);
    QByteArray noise(4000, '\0');
    for (char& byte : noise) {
        // Plenty of prefixes and line ends among the noise, so that noise gets run as commands.
        const quint32 pick = random.bounded(10u);
        byte = pick == 0 ? 'A' : pick == 1 ? 'T' : pick == 2 ? '\r' : static_cast<char>(random.bounded(256u));
    }
    bench.send(noise);
    // Whatever state the noise left, a carriage return ends it and a reset brings the modem back.
    const qsizetype from = bench.out.size();
    bench.send("\rATZ\r");
    QVERIFY(bench.waitFor("\r\nOK\r\n", from));
    QCOMPARE(bench.send("AT\r"), QByteArray("AT\r\r\nOK\r\n"));
}

void TestVmodemEngine::voiceCommandsNeedAVoiceConnection_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("outside");
    QTest::addColumn<QByteArray>("inside");
    const QByteArray ok("\r\nOK\r\n");
    const QByteArray error("\r\nERROR\r\n");
    QTest::newRow("speaker level") << QByteArray("AT#SPK=,5,,") << error << ok;
    QTest::newRow("hold") << QByteArray("AT#SPK=0,16,,") << error << ok;
    QTest::newRow("release hold") << QByteArray("AT#SPK=1,5,0") << error << ok;
    QTest::newRow("mute") << QByteArray("AT#SPK=0,,,") << error << ok;
    QTest::newRow("microphone gain with blank") << QByteArray("AT#SPK=,,2 ") << error << ok;
    QTest::newRow("speaker beyond range") << QByteArray("AT#SPK=,17,") << error << error;
    QTest::newRow("microphone mode beyond range") << QByteArray("AT#SPK=3") << error << error;
    QTest::newRow("fourth field not empty") << QByteArray("AT#SPK=1,2,3,4") << error << error;
    QTest::newRow("touch tone") << QByteArray("AT#VBT=1#VTS=5") << error << ok;
    QTest::newRow("hash tone") << QByteArray("AT#VBT=1#VTS=#") << error << ok;
    QTest::newRow("hook flash") << QByteArray("AT#VTS=!") << error << ok;
    QTest::newRow("timed digit") << QByteArray("AT#VTS={5,3}") << error << ok;
    QTest::newRow("dual tone") << QByteArray("AT#VTS=[1000,1000,3]") << error << ok;
    QTest::newRow("tone list") << QByteArray("AT#VTS=1,A,*,#") << error << ok;
    QTest::newRow("not a tone") << QByteArray("AT#VTS=E") << error << error;
    QTest::newRow("no tone") << QByteArray("AT#VTS=") << error << error;
    QTest::newRow("mute relay") << QByteArray("AT#VLS=7") << error << ok;
}

void TestVmodemEngine::voiceCommandsNeedAVoiceConnection() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, outside);
    QFETCH(QByteArray, inside);
    Bench bench;
    bench.send("ATE0#CLS=8#VLS=6\r");
    QCOMPARE(bench.send(command + '\r'), outside);
    QVERIFY(bench.connectCall());
    const qsizetype from = bench.out.size();
    bench.send(command + '\r');
    // Tones finish playing before the reply.
    QVERIFY(waitUntil([&] { return bench.out.size() > from; }));
    QCOMPARE(bench.out.mid(from), inside);
}

void TestVmodemEngine::speakerphoneCommandsNeedTheSpeakerphone() {
    Bench bench;
    bench.send("ATE0#CLS=8#VLS=0\r");
    const qsizetype from = bench.out.size();
    bench.send("ATDT5551234\r");
    QVERIFY(bench.waitFor("\r\nVCON\r\n", from));
    QCOMPARE(bench.send("AT#SPK=,5,,\r"), QByteArray("\r\nERROR\r\n"));
    QCOMPARE(bench.send("AT#VLS=6\r"), QByteArray("\r\nOK\r\n"));
    QCOMPARE(bench.send("AT#SPK=0,12,3\r"), QByteArray("\r\nOK\r\n"));
    QCOMPARE(bench.send("AT#SPK=,,\r"), QByteArray("\r\nOK\r\n"));
    QCOMPARE(bench.send("AT#SPK?\r"), QByteArray("\r\n0,12,3\r\n\r\nOK\r\n"));
}

void TestVmodemEngine::firmwareWithoutSelectionSix() {
    ModemConfig config = fastConfig();
    config.speakerphoneVls6 = false;
    Bench bench(config);
    bench.send("ATE0\r");
    // The line stops at the rejected selection: caller ID stays off.
    QCOMPARE(bench.send("AT#CLS=8#VLS=6#CID=1\r"), QByteArray("\r\nERROR\r\n"));
    QCOMPARE(bench.send("AT#CID?\r"), QByteArray("\r\n0\r\n\r\nOK\r\n"));
    QCOMPARE(bench.send("AT#CLS=8#VLS=5#CID=1\r"), QByteArray("\r\nOK\r\n"));
    const qsizetype from = bench.out.size();
    bench.send("ATDT5551234\r");
    QVERIFY(bench.waitFor("\r\nVCON\r\n", from));
    QCOMPARE(bench.send("AT#SPK=,5,,\r"), QByteArray("\r\nOK\r\n"));

    Bench speakerphone;
    QCOMPARE(speakerphone.send("AT#CLS=8#VLS=5\r"), QByteArray("AT#CLS=8#VLS=5\r\r\nERROR\r\n"));
}

void TestVmodemEngine::tonesPlayBeforeTheNextLineIsRead() {
    Bench bench;
    bench.send("AT#CLS=8#VLS=2\r");
    const qsizetype from = bench.out.size();
    // The second line arrives while the first one's tone still plays; it waits, echo included.
    QCOMPARE(bench.send("AT#VTS={5,20}\rAT\r"), QByteArray("AT#VTS={5,20}\r"));
    QVERIFY(bench.waitFor("AT\r\r\nOK\r\n", from));
    QCOMPARE(bench.out.mid(from), QByteArray("AT#VTS={5,20}\r\r\nOK\r\nAT\r\r\nOK\r\n"));
}

void TestVmodemEngine::outgoingCalls_data() {
    QTest::addColumn<int>("farEnd");
    QTest::addColumn<int>("answerAfterMs");
    QTest::addColumn<QString>("told"); // what the far end is told once it rings
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<int>("phase");
    const int answer = int(ModemConfig::FarEnd::Answer);
    const int connected = int(CallPhase::Connected);
    const int idle = int(CallPhase::Idle);
    QTest::newRow("answers by itself") << answer << 20 << "" << QByteArray("AT#CLS=8") << QByteArray("VCON")
                                       << connected;
    QTest::newRow("answers when told") << answer << -1 << "answer" << QByteArray("ATS7=255#CLS=8") << QByteArray("VCON")
                                       << connected;
    QTest::newRow("busy by itself") << int(ModemConfig::FarEnd::Busy) << 20 << "" << QByteArray("AT#CLS=8")
                                    << QByteArray("BUSY") << idle;
    QTest::newRow("busy when told") << answer << -1 << "busy" << QByteArray("ATS7=255#CLS=8") << QByteArray("BUSY")
                                    << idle;
    QTest::newRow("rings out after S7") << int(ModemConfig::FarEnd::NoAnswer) << 20 << "" << QByteArray("AT#CLS=8S7=3")
                                        << QByteArray("NO ANSWER") << idle;
    QTest::newRow("no answer when told") << answer << -1 << "noanswer" << QByteArray("ATS7=255#CLS=8")
                                         << QByteArray("NO ANSWER") << idle;
    QTest::newRow("a person sends no carrier")
        << answer << 20 << "" << QByteArray("AT#CLS=0") << QByteArray("NO CARRIER") << idle;
}

void TestVmodemEngine::outgoingCalls() {
    QFETCH(int, farEnd);
    QFETCH(int, answerAfterMs);
    QFETCH(QString, told);
    QFETCH(QByteArray, setup);
    QFETCH(QByteArray, result);
    QFETCH(int, phase);
    Bench bench;
    bench.modem.setFarEnd(ModemConfig::FarEnd(farEnd), answerAfterMs);
    bench.send(setup + '\r');
    const qsizetype from = bench.out.size();
    QCOMPARE(bench.send("ATDT*67,*70,5551234\r"), QByteArray("ATDT*67,*70,5551234\r"));
    QCOMPARE(bench.modem.status().dialled, QByteArray("*67,*70,5551234"));
    if (!told.isEmpty()) {
        QVERIFY(bench.waitForPhase(CallPhase::Ringback));
        QString why;
        const bool done = told == QLatin1String("answer") ? bench.modem.farEndAnswers(&why)
                          : told == QLatin1String("busy") ? bench.modem.farEndBusy(&why)
                                                          : bench.modem.farEndDoesNotAnswer(&why);
        QVERIFY2(done, qPrintable(why));
    }
    QVERIFY(bench.waitFor("\r\n" + result + "\r\n", from));
    QCOMPARE(bench.out.mid(from), "ATDT*67,*70,5551234\r\r\n" + result + "\r\n");
    QCOMPARE(int(bench.modem.status().phase), phase);
}

void TestVmodemEngine::hostByteAbandonsCallSetUp() {
    Bench bench;
    bench.modem.setFarEnd(ModemConfig::FarEnd::Answer, -1);
    bench.send("ATS7=255#CLS=8\rATDT5551234\r");
    QVERIFY(bench.waitForPhase(CallPhase::Ringback));
    // "A" abandons the call; the rest of that line goes with it, unechoed.
    QCOMPARE(bench.send("ATH\r"), QByteArray("\r\nNO CARRIER\r\n"));
    QCOMPARE(bench.modem.status().phase, CallPhase::Idle);
    QCOMPARE(bench.send("AT\r"), QByteArray("AT\r\r\nOK\r\n"));
    QVERIFY(!bench.modem.farEndAnswers());
}

void TestVmodemEngine::farEndMayDecideWhileDialling() {
    Bench bench;
    bench.modem.setFarEnd(ModemConfig::FarEnd::Answer, -1);
    bench.send("AT#CLS=8\r");
    const qsizetype from = bench.out.size();
    bench.send("ATDT,,,5\r");
    QCOMPARE(bench.modem.status().phase, CallPhase::Dialling);
    QVERIFY(bench.modem.farEndBusy());
    QVERIFY(bench.waitFor("\r\nBUSY\r\n", from));
}

void TestVmodemEngine::semicolonReturnsToCommandState() {
    Bench bench;
    bench.modem.setFarEnd(ModemConfig::FarEnd::Answer, -1);
    bench.send("ATS7=255#CLS=8\r");
    const qsizetype from = bench.out.size();
    bench.send("ATDT5551234;\r");
    QVERIFY(bench.waitFor("\r\nOK\r\n", from));
    QCOMPARE(bench.modem.status().phase, CallPhase::Ringback);
    QCOMPARE(bench.send("AT\r"), QByteArray("AT\r\r\nOK\r\n"));
    QVERIFY(bench.modem.farEndAnswers());
    QCOMPARE(bench.out.right(8), QByteArray("\r\nVCON\r\n"));
}

void TestVmodemEngine::ringCadenceAndCallerGivingUp() {
    Bench bench;
    bench.send("ATE0#CID=1\r");
    bench.chunks.clear();
    QVERIFY(bench.modem.ring(CallerId::number(QStringLiteral("5551234"), QStringLiteral("ANN"))));
    QCOMPARE(bench.chunks, QList<QByteArray>{"\r\nRING\r\n"}); // the first ring at once
    QVERIFY(bench.waitForPhase(CallPhase::Idle));
    const QByteArray ring("\r\nRING\r\n");
    const QByteArray id("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234\r\nNAME = ANN\r\n");
    QCOMPARE(bench.chunks, (QList<QByteArray>{ring, id, ring, ring}));
    QCOMPARE(bench.send("ATS1?\r"), QByteArray("\r\n000\r\n\r\nOK\r\n"));
}

void TestVmodemEngine::callerIdBetweenFirstAndSecondRing_data() {
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<CallerId>("caller");
    QTest::addColumn<QByteArray>("report");
    const auto ann = CallerId::number(QStringLiteral("5045551234"), QStringLiteral("A N OTHER"));
    QTest::newRow("formatted") << QByteArray("#CID=1") << ann
                               << QByteArray(
                                      "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5045551234\r\nNAME = A N OTHER\r\n");
    QTest::newRow("no name") << QByteArray("#CID=1") << CallerId::number(QStringLiteral("5551234"))
                             << QByteArray("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234\r\n");
    QTest::newRow("private") << QByteArray("#CID=1") << CallerId::withheld()
                             << QByteArray("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = P\r\nNAME = P\r\n");
    QTest::newRow("out of area") << QByteArray("#CID=1") << CallerId::outOfArea()
                                 << QByteArray("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = O\r\nNAME = O\r\n");
    QTest::newRow("unformatted") << QByteArray("#CID=2") << ann << ann.unformattedReport(fixedNow, "\r\n");
    QTest::newRow("caller ID off") << QByteArray("#CID=0") << ann << QByteArray();
    QTest::newRow("no caller ID sent") << QByteArray("#CID=1") << CallerId() << QByteArray();
}

void TestVmodemEngine::callerIdBetweenFirstAndSecondRing() {
    QFETCH(QByteArray, setting);
    QFETCH(CallerId, caller);
    QFETCH(QByteArray, report);
    Bench bench;
    bench.send("ATE0" + setting + '\r');
    const qsizetype from = bench.out.size();
    QVERIFY(bench.modem.ring(caller));
    QVERIFY(waitUntil([&] { return bench.modem.status().ringsSent == 2; }));
    QVERIFY(bench.modem.stopRinging());
    QCOMPARE(bench.out.mid(from), "\r\nRING\r\n" + report + "\r\nRING\r\n");
}

void TestVmodemEngine::answeringStopsTheRinging() {
    Bench bench;
    bench.send("AT#CLS=8#VLS=6#CID=1\r");
    QVERIFY(bench.modem.ring(CallerId::withheld()));
    QCOMPARE(bench.send("ATA\r"), QByteArray("ATA\r\r\nVCON\r\n"));
    const ModemStatus status = bench.modem.status();
    QCOMPARE(status.phase, CallPhase::Connected);
    QVERIFY(status.incoming && status.voiceOnline);
    const qsizetype from = bench.out.size();
    QCOMPARE(bench.send("AT#SPK=,5,,\r"), QByteArray("AT#SPK=,5,,\r\r\nOK\r\n"));
    // Busy tone every 30 ms: after three of them a ring would have come, had it not stopped.
    QVERIFY(bench.modem.farEndHangsUp());
    QVERIFY(waitUntil([&] { return bench.out.mid(from).count(busyTone) >= 3; }));
    QVERIFY(!bench.out.mid(from).contains("RING"));
    QVERIFY(!bench.out.mid(from).contains("DATE ="));
}

void TestVmodemEngine::answerWithoutCallerOrInDataClass() {
    Bench voice;
    voice.send("ATE0#CLS=8#VLS=6\r");
    QCOMPARE(voice.send("ATA\r"), QByteArray("\r\nVCON\r\n"));
    QCOMPARE(voice.modem.status().phase, CallPhase::OffHook);
    QCOMPARE(voice.send("AT#SPK=,5,,\r"), QByteArray("\r\nOK\r\n"));
    QCOMPARE(voice.send("ATA\r"), QByteArray("\r\nERROR\r\n"));

    Bench data;
    data.send("ATE0S7=2\r");
    QVERIFY(data.modem.ring(CallerId()));
    const qsizetype from = data.out.size();
    QCOMPARE(data.send("ATA\r"), QByteArray());
    QVERIFY(data.waitFor("\r\nNO CARRIER\r\n", from));
    QCOMPARE(data.modem.status().phase, CallPhase::Idle);
}

void TestVmodemEngine::autoAnswerAfterS0Rings() {
    Bench bench;
    bench.send("ATE0S0=2#CLS=8\r");
    const qsizetype from = bench.out.size();
    QVERIFY(bench.modem.ring(CallerId()));
    QVERIFY(bench.waitFor("\r\nVCON\r\n", from));
    QCOMPARE(bench.out.mid(from), QByteArray("\r\nRING\r\n\r\nRING\r\n\r\nVCON\r\n"));
}

void TestVmodemEngine::dialWhileRingingFindsNoDialTone() {
    Bench bench;
    bench.send("ATE0#CLS=8\r");
    QVERIFY(bench.modem.ring(CallerId()));
    QCOMPARE(bench.send("ATDT5\r"), QByteArray("\r\nNO DIALTONE\r\n"));
    QCOMPARE(bench.modem.status().phase, CallPhase::Idle);
}

void TestVmodemEngine::hangingUp_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("classAfter");
    QTest::newRow("ATH") << QByteArray("ATH") << QByteArray("8");
    QTest::newRow("ATH0") << QByteArray("ATH0") << QByteArray("8");
    QTest::newRow("lower case") << QByteArray("ath") << QByteArray("8");
    QTest::newRow("ATZ resets too") << QByteArray("ATZ") << QByteArray("0");
}

void TestVmodemEngine::hangingUp() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, classAfter);
    Bench bench;
    QVERIFY(bench.connectCall());
    QCOMPARE(bench.send(command + '\r'), command + "\r\r\nOK\r\n");
    QCOMPARE(bench.modem.status().phase, CallPhase::Idle);
    QVERIFY(!bench.modem.status().voiceOnline);
    QCOMPARE(bench.send("AT#SPK=,5,,\r"), QByteArray("AT#SPK=,5,,\r\r\nERROR\r\n"));
    QCOMPARE(bench.send("AT#CLS?\r"), "AT#CLS?\r\r\n" + classAfter + "\r\n\r\nOK\r\n");
    QVERIFY(!bench.modem.farEndHangsUp());
}

void TestVmodemEngine::farEndHangsUpDuringACall() {
    Bench bench;
    QVERIFY(bench.connectCall());
    const qsizetype from = bench.out.size();
    QVERIFY(bench.modem.farEndHangsUp());
    QCOMPARE(bench.out.mid(from), busyTone);
    QCOMPARE(bench.modem.status().phase, CallPhase::FarEndGone);
    QVERIFY(waitUntil([&] { return bench.out.mid(from).count(busyTone) >= 2; }));
    // The line is still off hook until the host hangs up.
    QVERIFY(bench.send("AT#SPK=,5,,\r").endsWith("\r\nOK\r\n"));
    QVERIFY(!bench.modem.farEndHangsUp());
    QVERIFY(bench.send("ATH\r").endsWith("\r\nOK\r\n"));
    const qsizetype afterHangUp = bench.out.size();
    QVERIFY(bench.modem.ring(CallerId()));
    QVERIFY(waitUntil([&] { return bench.modem.status().ringsSent >= 2; }));
    QVERIFY(!bench.out.mid(afterHangUp).contains(busyTone));
}

void TestVmodemEngine::lineRefusesWhatItCannotDo() {
    Bench bench;
    QString why;
    QVERIFY(!bench.modem.farEndAnswers(&why));
    QVERIFY(!why.isEmpty());
    QVERIFY(!bench.modem.stopRinging());
    QVERIFY(!bench.modem.farEndHangsUp());
    QVERIFY(bench.modem.ring(CallerId()));
    QVERIFY(!bench.modem.ring(CallerId()));
    QVERIFY(bench.modem.stopRinging());
    QVERIFY(bench.connectCall());
    why.clear();
    QVERIFY(!bench.modem.ring(CallerId(), &why));
    QVERIFY(why.contains(QLatin1String("off hook")));
    QVERIFY(!bench.modem.farEndBusy());
}

void TestVmodemEngine::personaReplies_data() {
    QTest::addColumn<int>("persona");
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QByteArray>("reply");
    const int cx = int(Persona::Id::Cx93001);
    const int usr = int(Persona::Id::Usr5637);
    const QByteArray ok("\r\nOK\r\n");
    const QByteArray error("\r\nERROR\r\n");
    QTest::newRow("cx ATI0") << cx << QByteArray("ATI0") << "\r\n56000\r\n" + ok;
    QTest::newRow("cx ATI3") << cx << QByteArray("ATI3") << "\r\nCX93001-EIS_V0.2013-V92\r\n" + ok;
    QTest::newRow("cx +GMI") << cx << QByteArray("AT+GMI") << "\r\n+GMI: CONEXANT\r\n" + ok;
    QTest::newRow("cx +GCAP") << cx << QByteArray("AT+GCAP") << "\r\n+FCLASS,+MS,+ES,+DS\r\n" + ok;
    QTest::newRow("cx classes") << cx << QByteArray("AT+FCLASS=?") << "\r\n0,1,1.0,2,8\r\n" + ok;
    QTest::newRow("cx class read shares the OK's line end")
        << cx << QByteArray("AT+FCLASS=1.0\rAT+FCLASS?") << ok + "\r\n1.0\r\nOK\r\n";
    QTest::newRow("cx line selections") << cx << QByteArray("AT+VLS=?")
                                        << "\r\n" + label("0,\"\"") + label("1,\"T\"") + label("4,\"S\"") +
                                               label("5,\"ST\"") + label("6,\"M\"") + label("8,\"S1\"") +
                                               label("9,\"S1T\"") + label("11,\"M1\"") + label("13,\"M1S1T\"") + ok;
    QTest::newRow("cx speaker range") << cx << QByteArray("AT+VGS=?") << "\r\n(0-255)\r\n" + ok;
    QTest::newRow("cx has no microphone gain") << cx << QByteArray("AT+VGM=?") << error;
    QTest::newRow("cx line needs voice mode") << cx << QByteArray("AT+VLS=1") << error;
    QTest::newRow("cx tones need the line") << cx << QByteArray("AT+FCLASS=8\rAT+VTS=5") << ok + error;
    QTest::newRow("cx digit and flash") << cx << QByteArray("AT+FCLASS=8;+VLS=1\rAT+VTS=5;+VTS=!") << ok + ok;
    QTest::newRow("cx not a tone") << cx << QByteArray("AT+FCLASS=8;+VLS=1\rAT+VTS=E") << ok + error;
    QTest::newRow("cx microphone gain") << cx << QByteArray("AT+FCLASS=8;+VGM=0") << error;
    QTest::newRow("cx knows no #CLS") << cx << QByteArray("AT#CLS=?") << error;
    QTest::newRow("usr ATI0") << usr << QByteArray("ATI0") << "\r\n5601\r\n" + ok;
    QTest::newRow("usr ATI3") << usr << QByteArray("ATI3") << "\r\nU.S. Robotics 56K FAX USB V1.2.23\r\n" + ok;
    QTest::newRow("usr +GMI") << usr << QByteArray("AT+GMI") << "\r\nU.S. Robotics\r\n" + ok;
    QTest::newRow("usr line selections") << usr << QByteArray("AT+VLS=?")
                                         << "\r\n" + label("0,\"\"") + label("1,\"T\"") + label("2,\"L\"") +
                                                label("3,\"LT\"") + label("4,\"S\"") + label("5,\"ST\"") +
                                                label("6,\"M\"") + label("7,\"MST\"") + ok;
    QTest::newRow("usr microphone range") << usr << QByteArray("AT+VGM=?") << "\r\n(0-255)\r\n" + ok;
    QTest::newRow("usr microphone gain") << usr << QByteArray("AT+FCLASS=8;+VGM=0") << ok;
    QTest::newRow("usr timed and dual tones")
        << usr << QByteArray("AT+FCLASS=8;+VLS=7\rAT+VTS={5,10};+VTS=[1000,1300,50]") << ok + ok;
    QTest::newRow("usr knows no #CLS") << usr << QByteArray("AT#CLS=?") << error;
}

void TestVmodemEngine::personaReplies() {
    QFETCH(int, persona);
    QFETCH(QByteArray, lines);
    Bench bench(personaConfig(Persona::Id(persona)));
    bench.send("ATE0\r");
    QTEST(bench.send(lines + '\r'), "reply");
}

void TestVmodemEngine::v253Calls_data() {
    QTest::addColumn<int>("persona");
    QTest::addColumn<int>("farEnd");
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<QByteArray>("selection"); // +VLS? once the call has its result
    const int cx = int(Persona::Id::Cx93001);
    const int usr = int(Persona::Id::Usr5637);
    const int answer = int(ModemConfig::FarEnd::Answer);
    QTest::newRow("off hook first") << cx << answer << QByteArray(";+VLS=1") << QByteArray("OK") << QByteArray("1");
    QTest::newRow("speakerphone") << usr << answer << QByteArray(";+VLS=7") << QByteArray("OK") << QByteArray("7");
    QTest::newRow("dial takes the line") << cx << answer << QByteArray() << QByteArray("OK") << QByteArray("1");
    QTest::newRow("busy") << usr << int(ModemConfig::FarEnd::Busy) << QByteArray(";+VLS=1") << QByteArray("BUSY")
                          << QByteArray("0");
    QTest::newRow("no answer") << cx << int(ModemConfig::FarEnd::NoAnswer) << QByteArray(";S7=3")
                               << QByteArray("NO ANSWER") << QByteArray("0");
}

void TestVmodemEngine::v253Calls() {
    QFETCH(int, persona);
    QFETCH(int, farEnd);
    QFETCH(QByteArray, setup);
    QFETCH(QByteArray, result);
    QFETCH(QByteArray, selection);
    Bench bench(personaConfig(Persona::Id(persona)));
    bench.modem.setFarEnd(ModemConfig::FarEnd(farEnd), 20);
    bench.send("AT+FCLASS=8" + setup + '\r');
    const qsizetype from = bench.out.size();
    bench.send("ATDT*67,*70,5551234\r");
    QVERIFY(bench.waitFor("\r\n" + result + "\r\n", from));
    QCOMPARE(bench.out.mid(from), "ATDT*67,*70,5551234\r\r\n" + result + "\r\n");
    QCOMPARE(bench.send("AT+VLS?\r"), "AT+VLS?\r\r\n" + selection + "\r\n\r\nOK\r\n");
}

void TestVmodemEngine::v253LineSelectionAnswersAndHangsUp() {
    Bench bench(personaConfig(Persona::Id::Cx93001));
    const QByteArray ok("\r\nOK\r\n");
    bench.send("ATE0+FCLASS=8\r");
    QVERIFY(bench.modem.ring(CallerId()));
    QCOMPARE(bench.send("AT+VLS=13\r"), ok);
    QVERIFY(bench.modem.status().incoming);
    // An ATA after it, and a switch to another selection holding the line, keep the call.
    QCOMPARE(bench.send("ATA\rAT+VLS=1\r"), ok + ok);
    QCOMPARE(bench.modem.status().phase, CallPhase::Connected);
    QCOMPARE(bench.send("AT+VLS=0\r"), ok);
    QCOMPARE(bench.modem.status().phase, CallPhase::Idle);
    QVERIFY(bench.modem.ring(CallerId()));
    QCOMPARE(bench.send("ATA\r"), ok);
    QCOMPARE(bench.modem.status().phase, CallPhase::Connected);
    QCOMPARE(bench.send("ATH\rAT+VLS?\r"), ok + "\r\n0\r\n" + ok);
}

void TestVmodemEngine::v253CallerId_data() {
    QTest::addColumn<int>("persona");
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<QByteArray>("report");
    const int cx = int(Persona::Id::Cx93001);
    const int usr = int(Persona::Id::Usr5637);
    const QByteArray blanks("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5045551234\r\nNAME = A N OTHER\r\n");
    const QByteArray tight("\r\nDATE=0321\r\nTIME=1405\r\nNMBR=5045551234\r\nNAME=A N OTHER\r\n");
    const QByteArray packet = caller().unformattedReport(fixedNow, "\r\n").mid(2);
    QTest::newRow("cx formatted") << cx << QByteArray("AT+FCLASS=8;+VCID=1") << blanks;
    QTest::newRow("usr formatted") << usr << QByteArray("AT+FCLASS=8;+VCID=1") << tight;
    QTest::newRow("usr unformatted") << usr << QByteArray("AT+VCID=2") << "\r\nMESG=" + packet;
    QTest::newRow("cx forgets it on reset") << cx << QByteArray("AT+VCID=1\rATZ") << QByteArray();
    QTest::newRow("usr keeps it") << usr << QByteArray("AT+VCID=1\rATZ") << tight;
}

void TestVmodemEngine::v253CallerId() {
    QFETCH(int, persona);
    QFETCH(QByteArray, setting);
    QFETCH(QByteArray, report);
    Bench bench(personaConfig(Persona::Id(persona)));
    bench.send(setting + '\r');
    const qsizetype from = bench.out.size();
    QVERIFY(bench.modem.ring(caller()));
    QVERIFY(waitUntil([&] { return bench.modem.status().ringsSent == 2; }));
    QCOMPARE(bench.out.mid(from), "\r\nRING\r\n" + report + "\r\nRING\r\n");
}

void TestVmodemEngine::anotherPersonaStartsAfresh() {
    Bench bench;
    QVERIFY(bench.connectCall());
    bench.send("ATE0\r");
    bench.modem.setPersona(Persona::Id::Cx93001);
    QCOMPARE(bench.modem.status().phase, CallPhase::Idle);
    // Echo is on again, and the voice commands are the other set.
    QCOMPARE(bench.send("AT#CLS?\rAT+FCLASS?\r"), QByteArray("AT#CLS?\r\r\nERROR\r\nAT+FCLASS?\r\r\n0\r\nOK\r\n"));
}

QTEST_GUILESS_MAIN(TestVmodemEngine)
#include "tst_vmodem_engine.moc"
