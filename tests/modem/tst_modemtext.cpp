#include "ReceivedBytes.h"
#include "modem/ModemText.h"

#include <QRandomGenerator>
#include <QTest>

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

// Everything one read goes through before it is shown, checked against what must hold for any
// input. Returns what went wrong, or an empty text.
QString receivePathFault(const QByteArray& bytes) {
    QString text = decode(bytes);
    QString withoutLineFeeds = text;
    withoutLineFeeds.remove(QLatin1Char('\n'));
    ModemDisplay(text);
    if (const QString fault = lineEndFault(text); !fault.isEmpty()) {
        return fault;
    }
    QString again = text;
    ModemDisplay(again);
    if (again != text) {
        return QStringLiteral("normalising twice changes the text");
    }
    QString kept = text;
    kept.remove(QLatin1Char('\n'));
    if (kept != withoutLineFeeds) {
        return QStringLiteral("characters other than line feeds were changed");
    }
    for (const QString& tag : {NumberTag, NameTag}) {
        const QString value = reportValue(text, tag);
        const qsizetype at = text.indexOf(tag);
        if (at < 0 && !value.isEmpty()) {
            return QStringLiteral("a value without its tag");
        }
        if (value.contains(QLatin1Char('\r'))) {
            return QStringLiteral("a value runs over its line end");
        }
        if (!value.isEmpty() && text.mid(at + 7, value.size()) != value) {
            return QStringLiteral("a value cut from the wrong place");
        }
        const QString plain = plainText(value);
        const QString shown = displayedNumber(plain);
        if (shown.size() > 8 || !shown.contains(QLatin1Char('-'))) {
            return QStringLiteral("a displayed number \"%1\"").arg(shown);
        }
        if (rearrangedName(plain).size() != plain.size()) {
            return QStringLiteral("rearranging changed the length of a name");
        }
    }
    return QString();
}

} // namespace

void TestModemText::lineEnds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR LF stays") << "OK\r\n"
                                 << "OK\r\n";
    QTest::newRow("lone CR gets its LF") << "A\rB"
                                         << "A\r\nB";
    QTest::newRow("LF CR between words") << "A\n\rB"
                                         << "A\r\nB";
    QTest::newRow("lone LF joins the words") << "A\nB"
                                             << "AB";
    QTest::newRow("two CRs") << "\r\r"
                             << "\r\n\r\n";
    QTest::newRow("CR LF LF") << "A\r\n\nB"
                              << "A\r\nB";
    QTest::newRow("CR at the end") << "ATA\r"
                                   << "ATA\r\n";
    QTest::newRow("only line feeds") << "\n\n\n"
                                     << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("ring") << "\r\nRING\r\n"
                          << "\r\nRING\r\n";
    QTest::newRow("NUL kept") << QStringLiteral("A%1\rB").arg(QChar(0)) << QStringLiteral("A%1\r\nB").arg(QChar(0));
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
    QTest::newRow("ASCII") << QByteArray("\r\nOK\r\n") << "\r\nOK\r\n";
    QTest::newRow("UTF-8 name") << QByteArray("V\xc3\xa4h\xc3\xa4l\xc3\xa4") << QStringLiteral("V\u00e4h\u00e4l\u00e4");
    QTest::newRow("Latin-1 name") << QByteArray("V\xe4h\xe4l\xe4") << QStringLiteral("V\u00e4h\u00e4l\u00e4");
    QTest::newRow("NUL byte") << QByteArray("A\0B", 3) << QStringLiteral("A%1B").arg(QChar(0));
    QTest::newRow("lone continuation byte") << QByteArray("A\x80") << QStringLiteral("A\u0080");
    QTest::newRow("sequence cut off at the end") << QByteArray("A\xc3") << QStringLiteral("A\u00c3");
    QTest::newRow("byte-order mark kept") << QByteArray("\xef\xbb\xbfOK") << QStringLiteral("\ufeffOK");
    QTest::newRow("empty") << QByteArray() << "";
}

void TestModemText::decoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(decode(bytes), expected);
}

void TestModemText::reportValues_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("full report") << QString::fromLatin1(Report) << "4075551212"
                                 << "SMITH,JOHN";
    QTest::newRow("name before number") << "NAME = A N OTHER\r\nNMBR = 504551234\r\n"
                                        << "504551234"
                                        << "A N OTHER";
    QTest::newRow("first occurrence counts") << "NMBR = 4075551212\r\nNMBR = O\r\nNAME = X\r\nNAME = Y\r\n"
                                             << "4075551212"
                                             << "X";
    QTest::newRow("tags on one line") << "DATE = 1229 TIME = 1848 NAME = VANCOUVER WA NMBR = 3601231234\r\n"
                                      << "3601231234"
                                      << "VANCOUVER WA NMBR = 3601231234";
    QTest::newRow("padded name keeps its blanks") << "NMBR = 885\r\nNAME = KLAVA MARY     \r\n"
                                                  << "885"
                                                  << "KLAVA MARY     ";
    QTest::newRow("empty number") << "NMBR = \r\nNAME = X\r\n"
                                  << ""
                                  << "X";
    QTest::newRow("no name line") << "\r\nDATE = 0124\r\nNMBR = 01632960000\r\n"
                                  << "01632960000"
                                  << "";
    QTest::newRow("value without its CR runs to the end") << "NMBR = 4075551212\r\nNAME = SMITH,JO"
                                                          << "4075551212"
                                                          << "SMITH,JO";
    QTest::newRow("number cut off by the read") << "\r\nNMBR = 40755"
                                                << "40755"
                                                << "";
    QTest::newRow("CR right after the tag") << "NMBR =\r\nNAME = X\r\n"
                                            << ""
                                            << "X";
    QTest::newRow("tag at the very end") << "NMBR ="
                                         << ""
                                         << "";
    QTest::newRow("tag and separator at the end") << "NMBR = "
                                                  << ""
                                                  << "";
    QTest::newRow("lower-case tags are no report") << "nmbr = 4075551212\r\nname = X\r\n"
                                                   << ""
                                                   << "";
    QTest::newRow("no blank before the equals sign") << "NMBR=4075551212\r\nNAME=X\r\n"
                                                     << ""
                                                     << "";
    QTest::newRow("directory-number label") << "DDN_NMBR= 9196278340\r\n"
                                            << ""
                                            << "";
    QTest::newRow("equals sign inside the value") << "NMBR = 1=2\r\nNAME = A = B\r\n"
                                                  << "1=2"
                                                  << "A = B";
}

void TestModemText::reportValues() {
    QFETCH(QString, text);
    QFETCH(QString, number);
    QFETCH(QString, name);
    QCOMPARE(reportValue(text, NumberTag), number);
    QCOMPARE(reportValue(text, NameTag), name);
}

void TestModemText::displayedNumbers_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ten digits") << "4075551212"
                                << "555-1212";
    QTest::newRow("seven digits") << "5551212"
                                  << "121-2";
    QTest::newRow("eleven digits") << "14075551212"
                                   << "755-5121";
    QTest::newRow("six digits") << "123456"
                                << "456-";
    QTest::newRow("three digits") << "885"
                                  << "-";
    QTest::newRow("one digit") << "0"
                               << "-";
    QTest::newRow("empty") << ""
                           << "-";
}

void TestModemText::displayedNumbers() {
    QFETCH(QString, number);
    QFETCH(QString, shown);
    QCOMPARE(displayedNumber(number), shown);
}

void TestModemText::rearrangedNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("surname, given name") << "SMITH,JOHN"
                                         << "JOHN SMITH";
    QTest::newRow("blank after the comma") << "ELMHURST, IL"
                                           << " IL ELMHURST";
    QTest::newRow("no comma") << "A N OTHER"
                              << "A N OTHER";
    QTest::newRow("two commas split at the first") << "DOE,JANE,MRS"
                                                   << "JANE,MRS DOE";
    QTest::newRow("comma first") << ",JOHN"
                                 << "JOHN ";
    QTest::newRow("comma last") << "SMITH,"
                                << " SMITH";
    QTest::newRow("empty") << ""
                           << "";
}

void TestModemText::rearrangedNames() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QCOMPARE(rearrangedName(name), shown);
}

void TestModemText::plainTexts_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("plain");
    QTest::newRow("ordinary") << "SMITH,JOHN"
                              << "SMITH,JOHN";
    QTest::newRow("backspace for a missing name") << "\b"
                                                  << "";
    QTest::newRow("NUL and DLE") << QStringLiteral("A%1B\x10X").arg(QChar(0)) << "ABX";
    QTest::newRow("escape sequence loses its escape") << "\x1b[31mRED"
                                                      << "[31mRED";
    QTest::newRow("tab") << "A\tB"
                         << "AB";
    QTest::newRow("direction override") << QStringLiteral("ABC\u202eDEF") << "ABCDEF";
    QTest::newRow("line separator") << QStringLiteral("A\u2028B") << "AB";
    QTest::newRow("markup stays text") << "<b>BOLD</b>"
                                       << "<b>BOLD</b>";
    QTest::newRow("accents and symbols stay")
        << QStringLiteral("V\u00e4h\u00e4l\u00e4 \U0001F4DE") << QStringLiteral("V\u00e4h\u00e4l\u00e4 \U0001F4DE");
}

void TestModemText::plainTexts() {
    QFETCH(QString, value);
    QFETCH(QString, plain);
    QCOMPARE(plainText(value), plain);
}

void TestModemText::receivePathHoldsForAnyBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("NUL") << QByteArray(1, '\0');
    QTest::newRow("lone CR") << QByteArray("\r");
    QTest::newRow("lone LF") << QByteArray("\n");
    QTest::newRow("LF CR") << QByteArray("\n\r");
    QTest::newRow("report") << Report;
    QTest::newRow("report with LF CR line ends") << QByteArray(Report).replace("\r\n", "\n\r");
    QTest::newRow("report with lone CRs") << QByteArray(Report).replace("\r\n", "\r");
    QTest::newRow("report with lone LFs") << QByteArray(Report).replace("\r\n", "\n");
    QTest::newRow("tag at the end") << QByteArray("NMBR =");
    QTest::newRow("tag and CR") << QByteArray("NAME =\r");
    const QByteArray noisy = noise(100 * 1024, 1207);
    QTest::newRow("100 kB of noise") << noisy;
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
        const int length = random.bounded(40);
        for (int i = 0; i < length; ++i) {
            if (random.bounded(4) == 0) {
                bytes.append(static_cast<char>(random.bounded(256)));
            } else {
                bytes.append(pieces[random.bounded(static_cast<int>(std::size(pieces)))]);
            }
        }
        const QString fault = receivePathFault(bytes);
        QVERIFY2(
            fault.isEmpty(),
            qPrintable(
                QStringLiteral("round %1, bytes %2: %3").arg(round).arg(QString::fromLatin1(bytes.toHex(' ')), fault)));
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
