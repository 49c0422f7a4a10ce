#include "vmodem/AtCommandParser.h"
#include "vmodem/AtLineAssembler.h"
#include "vmodem/ByteText.h"
#include "vmodem/CallerId.h"
#include "vmodem/DialString.h"
#include "vmodem/DriverCommand.h"
#include "vmodem/ModemOptions.h"
#include "vmodem/ToneString.h"

#include <QTest>

Q_DECLARE_METATYPE(CallerId)

// The virtual modem's readers: command lines from the host, dial and tone strings, the driving
// commands of tests and scripts, the command line, and the caller-ID reports it writes.
class TestVmodemParsing : public QObject {
    Q_OBJECT
private slots:
    void commandLines_data();
    void commandLines();
    void lineAssembly_data();
    void lineAssembly();
    void toneStrings_data();
    void toneStrings();
    void dialStrings_data();
    void dialStrings();
    void byteText_data();
    void byteText();
    void malformedEscapes_data();
    void malformedEscapes();
    void driverCommands_data();
    void driverCommands();
    void callerIdReports_data();
    void callerIdReports();
    void unformattedCallerIdIsAValidPacket();
    void options_data();
    void options();
    void personaOption_data();
    void personaOption();
};

namespace {

// "#CLS[=]8 | E[]1 | S7[?]": name, form, argument of each command.
QString render(const AtCommandLine& line) {
    if (!line.isValid()) {
        return QStringLiteral("error at %1").arg(line.errorOffset);
    }
    QStringList parts;
    for (const AtCommand& c : line.commands) {
        static const char* const forms[] = {"[]", "[=]", "[?]", "[=?]"};
        parts << QString::fromLatin1(c.name) + QLatin1String(forms[static_cast<int>(c.form)]) +
                     QString::fromLatin1(c.argument);
    }
    return parts.join(QStringLiteral(" | "));
}

ModemOptions::Outcome parseOptions(const QStringList& arguments, ModemOptions* options, QString* message) {
    return ModemOptions::parse(QStringList{QStringLiteral("brisvane-modem")} + arguments, options, message);
}

} // namespace

void TestVmodemParsing::commandLines_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("initialisation line") << QByteArray("#CLS=8#VLS=6#CID=1") << "#CLS[=]8 | #VLS[=]6 | #CID[=]1";
    QTest::newRow("lower case") << QByteArray("#cls=8#vls=6") << "#CLS[=]8 | #VLS[=]6";
    QTest::newRow("basic chain") << QByteArray("E0V1Q0&F") << "E[]0 | V[]1 | Q[]0 | &F[]";
    QTest::newRow("bare letters mean 0") << QByteArray("HZ") << "H[] | Z[]";
    QTest::newRow("dial takes the rest") << QByteArray("DT*67,*70,5551234") << "D[]T*67,*70,5551234";
    QTest::newRow("dial after settings") << QByteArray("E0DT555#") << "E[]0 | D[]T555#";
    QTest::newRow("tones may hold #") << QByteArray("#VBT=1#VTS=#") << "#VBT[=]1 | #VTS[=]#";
    QTest::newRow("tone list") << QByteArray("#VTS={5,3},[1000,0,3],!") << "#VTS[=]{5,3},[1000,0,3],!";
    QTest::newRow("empty speakerphone fields") << QByteArray("#SPK=,5,,") << "#SPK[=],5,,";
    QTest::newRow("blanks do not count") << QByteArray(" #SPK=,,2 ") << "#SPK[=],,2";
    QTest::newRow("read and test") << QByteArray("#CLS?#CLS=?") << "#CLS[?] | #CLS[=?]";
    QTest::newRow("registers") << QByteArray("S0=2S7?S8=?") << "S0[=]2 | S7[?] | S8[=?]";
    QTest::newRow("semicolons separate") << QByteArray("#CID=1;+VCID=1;E1") << "#CID[=]1 | +VCID[=]1 | E[]1";
    QTest::newRow("V.253 initialisation") << QByteArray("+FCLASS=8;+VCID=1") << "+FCLASS[=]8 | +VCID[=]1";
    QTest::newRow("V.253 tones end at a semicolon")
        << QByteArray("+VTS=#,{5,10},[1000,0,5];+VGS=128") << "+VTS[=]#,{5,10},[1000,0,5] | +VGS[=]128";
    QTest::newRow("answer ends the line") << QByteArray("AE0") << "A[]";
    QTest::newRow("lone hash") << QByteArray("#") << "error at 0";
    QTest::newRow("lone register letter") << QByteArray("E1S") << "error at 2";
    QTest::newRow("register without a form") << QByteArray("S7") << "error at 0";
    QTest::newRow("punctuation") << QByteArray("E1$") << "error at 2";
    QTest::newRow("digit after extended name") << QByteArray("#CID1") << "error at 4";
    QTest::newRow("binary noise") << QByteArray("\x01\xfe\xff") << "error at 0";
}

void TestVmodemParsing::commandLines() {
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QCOMPARE(render(AtCommandParser::parse(body)), expected);
}

void TestVmodemParsing::lineAssembly_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("plain") << QByteArray("AT\r") << 40 << QStringList{QStringLiteral("line:")};
    QTest::newRow("lower case prefix") << QByteArray("at e1\r") << 40 << QStringList{QStringLiteral("line:e1")};
    QTest::newRow("mixed-case prefix is noise") << QByteArray("At\raT\r") << 40 << QStringList{};
    QTest::newRow("noise before the prefix") << QByteArray("xx\x00\xff"
                                                           "AATH\r",
                                                           9)
                                             << 40 << QStringList{QStringLiteral("line:H")};
    QTest::newRow("line feed ignored") << QByteArray("AT\nE1\n\r\n") << 40 << QStringList{QStringLiteral("line:E1")};
    QTest::newRow("backspace edits") << QByteArray("ATE\x08H1\r") << 40 << QStringList{QStringLiteral("line:H1")};
    QTest::newRow("no prefix, no line") << QByteArray("hello\r") << 40 << QStringList{};
    QTest::newRow("two lines") << QByteArray("AT\rATZ\r") << 40
                               << QStringList{QStringLiteral("line:"), QStringLiteral("line:Z")};
    QTest::newRow("repeat") << QByteArray("A/") << 40 << QStringList{QStringLiteral("repeat")};
    QTest::newRow("exactly full") << QByteArray("AT12345678\r") << 8 << QStringList{QStringLiteral("line:12345678")};
    QTest::newRow("over-long") << QByteArray("AT123456789\r") << 8 << QStringList{QStringLiteral("overflow:12345678")};
    QTest::newRow("over-long is forgotten after")
        << QByteArray("AT123456789\rAT1\r") << 8
        << QStringList{QStringLiteral("overflow:12345678"), QStringLiteral("line:1")};
}

void TestVmodemParsing::lineAssembly() {
    QFETCH(QByteArray, input);
    QFETCH(int, capacity);
    QFETCH(QStringList, events);
    AtLineAssembler assembler(capacity);
    QStringList seen;
    for (const char byte : input) {
        switch (assembler.feed(byte, '\r', '\b')) {
        case AtLineAssembler::Event::Line:
            seen << (assembler.overflowed() ? QStringLiteral("overflow:") : QStringLiteral("line:")) +
                        QString::fromLatin1(assembler.line());
            break;
        case AtLineAssembler::Event::Repeat:
            seen << QStringLiteral("repeat");
            break;
        case AtLineAssembler::Event::None:
            break;
        }
    }
    QCOMPARE(seen, events);
}

void TestVmodemParsing::toneStrings_data() {
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<int>("beep");
    QTest::addColumn<int>("tenths"); // -1: not grammatical
    QTest::addColumn<QByteArray>("symbols");
    QTest::newRow("keypad digit") << QByteArray("5") << 1 << 1 << QByteArray("5");
    QTest::newRow("hash") << QByteArray("#") << 1 << 1 << QByteArray("#");
    QTest::newRow("several at beep time") << QByteArray("1,A,*,#") << 10 << 40 << QByteArray("1A*#");
    QTest::newRow("beep disabled") << QByteArray("9") << 0 << 0 << QByteArray("9");
    QTest::newRow("own duration") << QByteArray("{5,20}") << 10 << 20 << QByteArray("5");
    QTest::newRow("frequencies") << QByteArray("[1000,1000,3]") << 10 << 3 << QByteArray("~");
    QTest::newRow("single frequency") << QByteArray("[440,0,7]") << 10 << 7 << QByteArray("~");
    QTest::newRow("hook flash") << QByteArray("!") << 10 << ToneString::flashTenths << QByteArray("!");
    QTest::newRow("timed flash") << QByteArray("{!,30},1") << 2 << 32 << QByteArray("!1");
    QTest::newRow("mixed") << QByteArray("{2,1},[1000,1300,5],3") << 1 << 7 << QByteArray("2~3");
    QTest::newRow("empty") << QByteArray() << 10 << -1 << QByteArray();
    QTest::newRow("not a key") << QByteArray("E") << 10 << -1 << QByteArray();
    QTest::newRow("two keys without comma") << QByteArray("12") << 10 << -1 << QByteArray();
    QTest::newRow("empty element") << QByteArray("1,,2") << 10 << -1 << QByteArray();
    QTest::newRow("brace without duration") << QByteArray("{5}") << 10 << -1 << QByteArray();
    QTest::newRow("duration too long") << QByteArray("{5,256}") << 10 << -1 << QByteArray();
    QTest::newRow("frequency too low") << QByteArray("[100,0,3]") << 10 << -1 << QByteArray();
    QTest::newRow("frequency too high") << QByteArray("[3001,0,3]") << 10 << -1 << QByteArray();
    QTest::newRow("two fields") << QByteArray("[1000,3]") << 10 << -1 << QByteArray();
    QTest::newRow("unclosed") << QByteArray("[1000,0,3") << 10 << -1 << QByteArray();
    QTest::newRow("nested") << QByteArray("{[1,2}") << 10 << -1 << QByteArray();
}

void TestVmodemParsing::toneStrings() {
    QFETCH(QByteArray, argument);
    QFETCH(int, beep);
    QFETCH(int, tenths);
    QFETCH(QByteArray, symbols);
    const auto plan = ToneString::parse(argument, beep);
    QCOMPARE(plan.has_value(), tenths >= 0);
    if (plan) {
        QCOMPARE(plan->tenths, tenths);
        QCOMPARE(plan->symbols, symbols);
    }
}

void TestVmodemParsing::dialStrings_data() {
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("pauses");
    QTest::addColumn<bool>("staysInCommand");
    QTest::newRow("blocking prefixes") << QByteArray("T*67,*70,5551234") << QByteArray("*67,*70,5551234") << 13 << 2
                                       << false;
    QTest::newRow("punctuation ignored") << QByteArray("T(555) 123-4567") << QByteArray("5551234567") << 10 << 0
                                         << false;
    QTest::newRow("pulse and wait") << QByteArray("P9W,5") << QByteArray("9,5") << 2 << 1 << false;
    QTest::newRow("back to command state") << QByteArray("T5551234;") << QByteArray("5551234") << 7 << 0 << true;
    QTest::newRow("nothing to dial") << QByteArray("T") << QByteArray() << 0 << 0 << false;
}

void TestVmodemParsing::dialStrings() {
    QFETCH(QByteArray, argument);
    const DialString::Plan plan = DialString::parse(argument);
    QTEST(plan.shown, "shown");
    QTEST(plan.digits, "digits");
    QTEST(plan.pauses, "pauses");
    QTEST(plan.staysInCommand, "staysInCommand");
}

void TestVmodemParsing::byteText_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("result code") << QByteArray("\r\nOK\r\n") << QStringLiteral("\\r\\nOK\\r\\n");
    QTest::newRow("busy tone event") << QByteArray("\x10"
                                                   "b")
                                     << QStringLiteral("\\x10b");
    QTest::newRow("quote and backslash") << QByteArray("a\"b\\c") << QStringLiteral("a\\\"b\\\\c");
    QTest::newRow("high and zero bytes") << QByteArray("\xff\x00", 2) << QStringLiteral("\\xFF\\x00");
    QTest::newRow("blanks kept") << QByteArray("AT#SPK=,,2 \r") << QStringLiteral("AT#SPK=,,2 \\r");
}

void TestVmodemParsing::byteText() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(ByteText::escape(bytes), text);
    QCOMPARE(ByteText::unescape(text), std::optional<QByteArray>(bytes));
}

void TestVmodemParsing::malformedEscapes_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("short hex") << QStringLiteral("\\x1");
    QTest::newRow("not hex") << QStringLiteral("\\xg0");
    QTest::newRow("unknown letter") << QStringLiteral("\\q");
    QTest::newRow("trailing backslash") << QStringLiteral("abc\\");
}

void TestVmodemParsing::malformedEscapes() {
    QFETCH(QString, text);
    QVERIFY(!ByteText::unescape(text).has_value());
}

void TestVmodemParsing::driverCommands_data() {
    using Kind = DriverCommand::Kind;
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("detail"); // caller, bytes (escaped) or milliseconds
    QTest::newRow("ring with name") << "ring 5551234 SMITH, ANN" << int(Kind::Ring) << "5551234 (SMITH, ANN)";
    QTest::newRow("ring without name") << "ring 5551234" << int(Kind::Ring) << "5551234";
    QTest::newRow("ring private") << "ring private" << int(Kind::Ring) << "private";
    QTest::newRow("ring out of area") << "RING OutOfArea" << int(Kind::Ring) << "out of area";
    QTest::newRow("ring bare") << "ring" << int(Kind::Ring) << "no caller ID";
    QTest::newRow("stopring") << "stopring" << int(Kind::StopRing) << "";
    QTest::newRow("answer") << "  answer  " << int(Kind::Answer) << "";
    QTest::newRow("busy") << "busy" << int(Kind::Busy) << "";
    QTest::newRow("noanswer") << "noanswer" << int(Kind::NoAnswer) << "";
    QTest::newRow("hangup") << "hangup\r\n" << int(Kind::HangUp) << "";
    QTest::newRow("quit") << "Quit" << int(Kind::Quit) << "";
    QTest::newRow("send") << "send \\r\\nRING\\r\\n" << int(Kind::Send) << "\\r\\nRING\\r\\n";
    QTest::newRow("send keeps blanks") << "send  A B " << int(Kind::Send) << " A B ";
    QTest::newRow("wait") << "wait 0.25" << int(Kind::Wait) << "250";
    QTest::newRow("blank") << "   " << int(Kind::Nothing) << "";
    QTest::newRow("comment") << "# ring 1" << int(Kind::Nothing) << "";
    QTest::newRow("unknown") << "frobnicate" << int(Kind::Invalid) << "";
    QTest::newRow("argument too many") << "answer now" << int(Kind::Invalid) << "";
    QTest::newRow("wait without number") << "wait soon" << int(Kind::Invalid) << "";
    QTest::newRow("negative wait") << "wait -1" << int(Kind::Invalid) << "";
    QTest::newRow("send nothing") << "send" << int(Kind::Invalid) << "";
    QTest::newRow("send bad escape") << "send \\x4" << int(Kind::Invalid) << "";
}

void TestVmodemParsing::driverCommands() {
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QString, detail);
    const DriverCommand command = DriverCommand::parse(line);
    QCOMPARE(int(command.kind), kind);
    switch (command.kind) {
    case DriverCommand::Kind::Ring:
        QCOMPARE(command.caller.describe(), detail);
        break;
    case DriverCommand::Kind::Send:
        QCOMPARE(ByteText::escape(command.bytes), detail);
        break;
    case DriverCommand::Kind::Wait:
        QCOMPARE(QString::number(command.waitMs), detail);
        break;
    case DriverCommand::Kind::Invalid:
        QVERIFY(!command.error.isEmpty());
        break;
    default:
        break;
    }
}

void TestVmodemParsing::callerIdReports_data() {
    QTest::addColumn<CallerId>("caller");
    QTest::addColumn<QByteArray>("report");
    QTest::newRow("number and name") << CallerId::number(QStringLiteral("5045551234"), QStringLiteral("A N OTHER"))
                                     << QByteArray("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5045551234\r\n"
                                                   "NAME = A N OTHER\r\n");
    QTest::newRow("no name line") << CallerId::number(QStringLiteral("5551234"))
                                  << QByteArray("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234\r\n");
    QTest::newRow("private") << CallerId::withheld()
                             << QByteArray("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = P\r\nNAME = P\r\n");
    QTest::newRow("out of area") << CallerId::outOfArea()
                                 << QByteArray("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = O\r\nNAME = O\r\n");
    QTest::newRow("control characters dropped") << CallerId::number(QStringLiteral("555\r\n1"), QStringLiteral("\tX"))
                                                << QByteArray("\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551\r\n"
                                                              "NAME = X\r\n");
    QTest::newRow("no caller ID") << CallerId() << QByteArray();
}

void TestVmodemParsing::callerIdReports() {
    QFETCH(CallerId, caller);
    QFETCH(QByteArray, report);
    const QDateTime when(QDate(2024, 3, 21), QTime(14, 5, 59));
    QCOMPARE(caller.formattedReport(when, "\r\n"), report);
}

void TestVmodemParsing::unformattedCallerIdIsAValidPacket() {
    const QDateTime when(QDate(2024, 3, 21), QTime(9, 7));
    const QByteArray report =
        CallerId::number(QStringLiteral("5551234"), QStringLiteral("ANN")).unformattedReport(when, "\r\n");
    QVERIFY(report.startsWith("\r\n") && report.endsWith("\r\n"));
    const QByteArray packet = QByteArray::fromHex(report.mid(2, report.size() - 4));
    // Message type, length, then date/time, number and name parameters, then the checksum.
    QCOMPARE(packet.toHex().toUpper(), QByteArray("80") + "18" + "0108" + QByteArray("03210907").toHex().toUpper() +
                                           "0207" + QByteArray("5551234").toHex().toUpper() + "0703" +
                                           QByteArray("ANN").toHex().toUpper() + packet.right(1).toHex().toUpper());
    unsigned sum = 0;
    for (const char byte : packet) {
        sum += static_cast<unsigned char>(byte);
    }
    QCOMPARE(sum % 256, 0u);
    QCOMPARE(CallerId().unformattedReport(when, "\r\n"), QByteArray());
}

void TestVmodemParsing::options_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("answerAfterMs");
    QTest::addColumn<int>("farEnd");
    QTest::addColumn<int>("ringIntervalMs");
    QTest::addColumn<int>("rings");
    QTest::addColumn<bool>("vls6");
    using FarEnd = ModemConfig::FarEnd;
    const int answer = int(FarEnd::Answer);
    QTest::newRow("defaults") << QStringList{} << true << 3000 << answer << 6000 << 10 << true;
    QTest::newRow("manual answer") << QStringList{QStringLiteral("--answer-after"), QStringLiteral("manual")} << true
                                   << -1 << answer << 6000 << 10 << true;
    QTest::newRow("negative is manual") << QStringList{QStringLiteral("--answer-after=-2")} << true << -1 << answer
                                        << 6000 << 10 << true;
    QTest::newRow("everything") << QStringList{QStringLiteral("--answer-after"),  QStringLiteral("0.5"),
                                               QStringLiteral("--far-end"),       QStringLiteral("busy"),
                                               QStringLiteral("--ring-interval"), QStringLiteral("1.5"),
                                               QStringLiteral("--rings"),         QStringLiteral("4"),
                                               QStringLiteral("--no-vls6")}
                                << true << 500 << int(FarEnd::Busy) << 1500 << 4 << false;
    QTest::newRow("no answer") << QStringList{QStringLiteral("--far-end"), QStringLiteral("noanswer")} << true << 3000
                               << int(FarEnd::NoAnswer) << 6000 << 10 << true;
    QTest::newRow("unknown far end") << QStringList{QStringLiteral("--far-end"), QStringLiteral("maybe")} << false << 0
                                     << 0 << 0 << 0 << true;
    QTest::newRow("no rings") << QStringList{QStringLiteral("--rings"), QStringLiteral("0")} << false << 0 << 0 << 0
                              << 0 << true;
    QTest::newRow("interval not a number")
        << QStringList{QStringLiteral("--ring-interval"), QStringLiteral("x")} << false << 0 << 0 << 0 << 0 << true;
    QTest::newRow("stray argument") << QStringList{QStringLiteral("extra")} << false << 0 << 0 << 0 << 0 << true;
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--baud")} << false << 0 << 0 << 0 << 0 << true;
}

void TestVmodemParsing::options() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, valid);
    ModemOptions options;
    QString message;
    const auto outcome = parseOptions(arguments, &options, &message);
    QCOMPARE(outcome == ModemOptions::Outcome::Run, valid);
    if (!valid) {
        QVERIFY(!message.isEmpty());
        return;
    }
    QTEST(options.config.answerAfterMs, "answerAfterMs");
    QTEST(int(options.config.farEnd), "farEnd");
    QTEST(options.config.ringIntervalMs, "ringIntervalMs");
    QTEST(options.config.rings, "rings");
    QTEST(options.config.speakerphoneVls6, "vls6");
}

void TestVmodemParsing::personaOption_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("persona"); // -1: refused
    QTest::newRow("default") << QStringList{} << int(Persona::Id::Rockwell);
    QTest::newRow("cx93001") << QStringList{QStringLiteral("--persona"), QStringLiteral("cx93001")}
                             << int(Persona::Id::Cx93001);
    QTest::newRow("usr5637 joined") << QStringList{QStringLiteral("--persona=usr5637")} << int(Persona::Id::Usr5637);
    QTest::newRow("unknown modem") << QStringList{QStringLiteral("--persona"), QStringLiteral("hayes")} << -1;
    QTest::newRow("no value") << QStringList{QStringLiteral("--persona")} << -1;
}

void TestVmodemParsing::personaOption() {
    QFETCH(QStringList, arguments);
    QFETCH(int, persona);
    ModemOptions options;
    QString message;
    const auto outcome = parseOptions(arguments, &options, &message);
    if (persona < 0) {
        QCOMPARE(outcome, ModemOptions::Outcome::Error);
        QVERIFY2(message.contains(QLatin1String("persona")), qPrintable(message));
        return;
    }
    QCOMPARE(outcome, ModemOptions::Outcome::Run);
    QCOMPARE(int(options.config.persona), persona);
}

QTEST_GUILESS_MAIN(TestVmodemParsing)
#include "tst_vmodem_parsing.moc"
