#include "ReceivedBytes.h"
#include "modem/ModemText.h"

#include <QTest>
#include <array>

using namespace ModemText;

// The modem's text: decoding, line ends, the caller-ID cut-out and how a caller is shown, and a
// property test of the whole receive path over arbitrary bytes.
class TestModemText : public QObject {
    Q_OBJECT
private slots:
    void lineEnds_data();
    void lineEnds();
    void decoding_data();
    void decoding();
    void reportValues_data();
    void reportValues();
    void displayedNumbers_data();
    void displayedNumbers();
    void rearrangedNames_data();
    void rearrangedNames();
    void plainTexts_data();
    void plainTexts();
    void receivePathHoldsForAnyBytes_data();
    void receivePathHoldsForAnyBytes();
    void receivePathHoldsForRandomBytes();
    void reportSplitAcrossTwoReads();
};

namespace {

const QByteArray Report("\r\nRING\r\n\r\nDATE = 1207\r\nTIME = 1205\r\nNMBR = 4075551212\r\nNAME = SMITH,JOHN\r\n");

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

// Rows of texts, one row a line: name, then the columns' texts (UTF-8).
template <size_t N>
void addRows(const std::array<const char*, N>& columns, std::initializer_list<std::array<const char*, N + 1>> rows) {
    for (const char* column : columns) {
        QTest::addColumn<QString>(column);
    }
    for (const auto& row : rows) {
        QTestData& data = QTest::newRow(row[0]);
        for (size_t i = 1; i <= N; ++i) {
            data << utf8(row[i]);
        }
    }
}

} // namespace

void TestModemText::lineEnds_data() {
    addRows<2>({"text", "expected"}, {
                                         {"CR LF stays", "OK\r\n", "OK\r\n"},
                                         {"lone CR gets its LF", "A\rB", "A\r\nB"},
                                         {"LF CR between words", "A\n\rB", "A\r\nB"},
                                         {"lone LF joins the words", "A\nB", "AB"},
                                         {"two CRs", "\r\r", "\r\n\r\n"},
                                         {"CR LF LF", "A\r\n\nB", "A\r\nB"},
                                         {"CR at the end", "ATA\r", "ATA\r\n"},
                                         {"empty", "", ""},
                                     });
}

void TestModemText::lineEnds() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ModemDisplay(text);
    QCOMPARE(text, expected);
}

void TestModemText::decoding_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("UTF-8 name") << QByteArray("V\xc3\xa4h\xc3\xa4l\xc3\xa4") << utf8("Vähälä");
    QTest::newRow("Latin-1 name") << QByteArray("V\xe4h\xe4l\xe4") << utf8("Vähälä");
    QTest::newRow("NUL byte") << QByteArray("A\0B", 3) << QStringLiteral("A%1B").arg(QChar(0));
    QTest::newRow("sequence cut off at the end") << QByteArray("A\xc3") << utf8("AÃ");
    QTest::newRow("byte-order mark kept") << QByteArray("\xef\xbb\xbfOK") << QChar(0xfeff) + QStringLiteral("OK");
}

void TestModemText::decoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(decode(bytes), expected);
}

void TestModemText::reportValues_data() {
    addRows<3>(
        {"text", "number", "name"},
        {
            {"full report", Report.constData(), "4075551212", "SMITH,JOHN"},
            {"name before number", "NAME = A N OTHER\r\nNMBR = 504551234\r\n", "504551234", "A N OTHER"},
            {"first occurrence counts", "NMBR = 4075551212\r\nNMBR = O\r\nNAME = X\r\nNAME = Y\r\n", "4075551212", "X"},
            {"tags inside a line", "DATE = 1229 NMBR = 3601231234\r\n", "3601231234", ""},
            {"padded name keeps its blanks", "NAME = KLAVA MARY     \r\n", "", "KLAVA MARY     "},
            {"empty number", "NMBR = \r\nNAME = X\r\n", "", "X"},
            {"no name line", "\r\nDATE = 0124\r\nNMBR = 01632960000\r\n", "01632960000", ""},
            {"value without its CR runs to the end", "NMBR = 4075551212\r\nNAME = SMITH,JO", "4075551212", "SMITH,JO"},
            {"CR right after the tag", "NMBR =\r\nNAME = X\r\n", "", "X"},
            {"tag at the very end", "NMBR =", "", ""},
            {"lower-case tags are no report", "nmbr = 4075551212\r\nname = X\r\n", "", ""},
            {"no blank before the equals sign", "NMBR=4075551212\r\nDDN_NMBR= 9196278340\r\n", "", ""},
        });
}

void TestModemText::reportValues() {
    QFETCH(QString, text);
    QFETCH(QString, number);
    QFETCH(QString, name);
    QCOMPARE(reportValue(text, NumberTag), number);
    QCOMPARE(reportValue(text, NameTag), name);
}

void TestModemText::displayedNumbers_data() {
    addRows<2>({"number", "shown"},
               {
                   {"ten digits", "4075551212", "555-1212"},
                   {"seven digits", "5551212", "121-2"},
                   {"eleven digits", "14075551212", "755-5121"},
                   {"three digits", "885", "-"},
                   {"empty", "", "-"},
                   {"a character outside the BMP counts as one", "12345\U0001F4DE789", "45\U0001F4DE-789"},
               });
}

void TestModemText::displayedNumbers() {
    QFETCH(QString, number);
    QFETCH(QString, shown);
    QCOMPARE(displayedNumber(number), shown);
}

void TestModemText::rearrangedNames_data() {
    addRows<2>({"name", "shown"}, {
                                      {"surname, given name", "SMITH,JOHN", "JOHN SMITH"},
                                      {"blank after the comma", "ELMHURST, IL", " IL ELMHURST"},
                                      {"no comma", "A N OTHER", "A N OTHER"},
                                      {"two commas split at the first", "DOE,JANE,MRS", "JANE,MRS DOE"},
                                      {"comma last", "SMITH,", " SMITH"},
                                  });
}

void TestModemText::rearrangedNames() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QCOMPARE(rearrangedName(name), shown);
}

void TestModemText::plainTexts_data() {
    addRows<2>({"value", "plain"}, {
                                       {"backspace for a missing name", "\b", ""},
                                       {"control bytes", "A\x10X\x1b[31m\tB", "AX[31mB"},
                                       {"direction override", "ABC\u202eDEF", "ABCDEF"},
                                       {"line separator", "A\u2028B", "AB"},
                                       {"markup stays text", "<b>BOLD</b>", "<b>BOLD</b>"},
                                       {"accents and symbols stay", "Vähälä \U0001F4DE", "Vähälä \U0001F4DE"},
                                       {"tag characters outside the BMP", "A\U000E0041\U000E007FB", "AB"},
                                   });
}

void TestModemText::plainTexts() {
    QFETCH(QString, value);
    QFETCH(QString, plain);
    QCOMPARE(plainText(value), plain);
}

void TestModemText::receivePathHoldsForAnyBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("NUL") << QByteArray(1, '\0');
    QTest::newRow("lone CR") << QByteArray("\r");
    QTest::newRow("lone LF") << QByteArray("\n");
    QTest::newRow("LF CR") << QByteArray("\n\r");
    QTest::newRow("report with LF CR line ends") << QByteArray(Report).replace("\r\n", "\n\r");
    QTest::newRow("report with lone LFs") << QByteArray(Report).replace("\r\n", "\n");
    QTest::newRow("tag and CR") << QByteArray("NAME =\r");
    QTest::newRow("invisible tag character in a name") << QByteArray("NAME = A\xf3\xa0\x81\x81Z\r\n");
    QTest::newRow("number cut inside a surrogate pair") << QByteArray("NMBR = 12345\xf0\x9f\x93\x9e"
                                                                      "789\r\n");
    const QByteArray noisy = noise(100 * 1024, 1207);
    QTest::newRow("100 kB of noise around a report") << noisy.left(50000) + Report + noisy.mid(50000);
}

void TestModemText::receivePathHoldsForAnyBytes() {
    QFETCH(QByteArray, bytes);
    const QString fault = receivePathFault(bytes);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestModemText::receivePathHoldsForRandomBytes() {
    // Strings built from the pieces a modem sends, mixed with arbitrary bytes, so that tags, line
    // ends and broken UTF-8 meet in every order. The seed keeps a failure reproducible.
    static const QByteArray pieces[] = {"\r",   "\n",         QByteArray(1, '\0'), "NMBR =", "NAME =", " ",    "=",
                                        ",",    "SMITH,JOHN", "4075551212",        "O",      "P",      "VCON", "RING",
                                        "\xc3", "\xa4",       "\xe2\x80\xae",      "\x10"};
    QRandomGenerator random(20240607);
    for (int round = 0; round < 5000; ++round) {
        QByteArray bytes;
        for (int i = random.bounded(40); i > 0; --i) {
            if (random.bounded(4) == 0) {
                bytes.append(static_cast<char>(random.bounded(256)));
            } else {
                bytes.append(pieces[random.bounded(static_cast<int>(std::size(pieces)))]);
            }
        }
        const QString fault = receivePathFault(bytes);
        QVERIFY2(fault.isEmpty(),
                 qPrintable(QStringLiteral("%1: %2").arg(QString::fromLatin1(bytes.toHex(' ')), fault)));
    }
}

void TestModemText::reportSplitAcrossTwoReads() {
    for (qsizetype cut = 0; cut <= Report.size(); ++cut) {
        for (const QByteArray& part : {Report.left(cut), Report.mid(cut)}) {
            const QString fault = receivePathFault(part);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("cut at %1: %2").arg(cut).arg(fault)));
        }
        // Read together (a receive event nested in another's wait reads both), the report is whole.
        QString joined = decode(Report.left(cut)) + decode(Report.mid(cut));
        ModemDisplay(joined);
        QCOMPARE(reportValue(joined, NumberTag), QStringLiteral("4075551212"));
        QCOMPARE(reportValue(joined, NameTag), QStringLiteral("SMITH,JOHN"));
    }
}

QTEST_GUILESS_MAIN(TestModemText)
#include "tst_modemtext.moc"
