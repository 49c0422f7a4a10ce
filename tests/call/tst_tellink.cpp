#include "PhoneLine.h"
#include "call/NumberEntry.h"
#include "call/TelLink.h"
#include "console/Phone.h"

#include <QTest>

using Outcome = TelLink::Outcome;
Q_DECLARE_METATYPE(TelLink::Outcome)

// Telephone links handed to the program: what of them reaches the number display, and what is
// refused with a message. The link never dials.
class TestTelLink : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void enterLink_data();
    void enterLink();
    void linkDuringACall_data();
    void linkDuringACall();
    void callBack_data();
    void callBack();
};

void TestTelLink::parse_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("number");
    QTest::newRow("global number with separators") << "tel:+1-407-555-1212" << Outcome::Number << "14075551212";
    QTest::newRow("callto") << "callto:4075551212" << Outcome::Number << "4075551212";
    QTest::newRow("callto with slashes") << "callto://+14075551212" << Outcome::Number << "14075551212";
    QTest::newRow("scheme in capitals") << "TEL:555.1212" << Outcome::Number << "5551212";
    QTest::newRow("parentheses and spaces") << "tel:(407) 555 1212" << Outcome::Number << "4075551212";
    QTest::newRow("percent-encoded spaces") << "tel:407%20555%201212" << Outcome::Number << "4075551212";
    QTest::newRow("encoded pound") << "tel:*67%23" << Outcome::Number << "*67#";
    QTest::newRow("star, pound and pause") << "tel:9,*70,555#" << Outcome::Number << "9,*70,555#";
    QTest::newRow("parameters ignored") << "tel:5551212;ext=33;phone-context=example.com" << Outcome::Number
                                        << "5551212";
    QTest::newRow("query ignored") << "callto:5551212?call" << Outcome::Number << "5551212";
    QTest::newRow("surrounding space") << "  tel:5551212\n" << Outcome::Number << "5551212";
    QTest::newRow("longer than the display, not cut")
        << "tel:+44-20-7946-0958-123" << Outcome::Number << "442079460958123";
    QTest::newRow("only separators") << "tel:+-().-" << Outcome::NothingDialable << "";
    QTest::newRow("empty") << "tel:" << Outcome::NothingDialable << "";
    QTest::newRow("only parameters") << "tel:;ext=5" << Outcome::NothingDialable << "";
    QTest::newRow("letters") << "tel:1-800-FLOWERS" << Outcome::NotANumber << "";
    QTest::newRow("encoded line end") << "tel:5551212%0DATZ" << Outcome::NotANumber << "";
    QTest::newRow("encoded semicolon stays in the number") << "tel:555%3B1212" << Outcome::NotANumber << "";
    QTest::newRow("plus inside") << "tel:555+1212" << Outcome::NotANumber << "";
    QTest::newRow("broken percent escape") << "tel:555%G1" << Outcome::NotANumber << "";
    QTest::newRow("other scheme") << "sip:5551212@example.com" << Outcome::NotALink << "";
    QTest::newRow("bare number") << "5551212" << Outcome::NotALink << "";
    QTest::newRow("scheme without colon") << "tel5551212" << Outcome::NotALink << "";
}

void TestTelLink::parse() {
    QFETCH(QString, link);
    QFETCH(Outcome, outcome);
    QFETCH(QString, number);
    const TelLink::Parsed parsed = TelLink::parse(link);
    QCOMPARE(parsed.outcome, outcome);
    QCOMPARE(parsed.number, number);
    QCOMPARE(TelLink::isLink(link), outcome != Outcome::NotALink);
}

void TestTelLink::enterLink_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("refusal"); // the message's last line, empty when entered
    const QString display = QStringLiteral("777");
    QTest::newRow("replaces the display") << "tel:+1-407-555-1212"
                                          << "14075551212"
                                          << "";
    QTest::newRow("fourteen characters fit") << "tel:1234567890123*"
                                             << "1234567890123*"
                                             << "";
    QTest::newRow("fifteen are refused, not cut")
        << "tel:123456789012345" << display
        << "Its number 123456789012345 is longer than the 14 characters the display holds.";
    QTest::newRow("nothing dialable") << "tel:+()" << display << "It holds no telephone number that can be dialled.";
    QTest::newRow("letters") << "callto:CALLME" << display << "It holds no telephone number that can be dialled.";
    QTest::newRow("not a link") << "http://example.com" << display << "It is not a telephone link.";
}

void TestTelLink::enterLink() {
    QFETCH(QString, link);
    QFETCH(QString, shown);
    QFETCH(QString, refusal);
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    phone.face().setText(PhoneView::Box::NumberOut, QStringLiteral("777"));
    line.view.log.clear();
    phone.numberEntry().enterLink(link);
    QCOMPARE(phone.face().text(PhoneView::Box::NumberOut), shown);
    QCOMPARE(line.written(), QByteArray());
    QVERIFY(!line.shared.CallActive);
    if (refusal.isEmpty()) {
        QCOMPARE(line.messages.boxes.size(), 0);
        QCOMPARE(line.view.log.last(), QStringLiteral("focus Send"));
    } else {
        QCOMPARE(line.messages.boxes.size(), 1);
        const auto& box = line.messages.boxes.first();
        QCOMPARE(box.icon, MessageBoxes::Icon::Warning);
        QCOMPARE(box.title, QStringLiteral("Brisvane"));
        QCOMPARE(box.text, QStringLiteral("The link was not entered:\r%1\r%2").arg(link, refusal));
    }
}

void TestTelLink::linkDuringACall_data() {
    QTest::addColumn<bool>("incoming");
    QTest::newRow("a call placed") << false;
    QTest::newRow("a caller being answered") << true;
}

void TestTelLink::linkDuringACall() {
    QFETCH(bool, incoming);
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    if (incoming) {
        QVERIFY(line.ringIn());
        phone.face().setText(PhoneView::Box::NumberOut, QStringLiteral("555"));
    } else {
        phone.face().setText(PhoneView::Box::NumberOut, QStringLiteral("555"));
        line.startCall(true);
    }
    const QString before = phone.face().text(PhoneView::Box::NumberOut);
    line.clearWritten();
    phone.numberEntry().enterLink(QStringLiteral("tel:4075551212"));
    QCOMPARE(phone.face().text(PhoneView::Box::NumberOut), before);
    QCOMPARE(line.written(), QByteArray());
    QCOMPARE(line.messages.boxes.size(), 1);
    QCOMPARE(line.messages.boxes.first().text,
             QStringLiteral("The link was not entered:\rtel:4075551212\rA call is in progress."));
}

// A number from the call history goes to the display as a link's would: never dialled.
void TestTelLink::callBack_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("duringACall");
    QTest::addColumn<QString>("shown"); // empty: refused with a message
    QTest::newRow("as reported") << "4075551212" << false << "4075551212";
    QTest::newRow("separators dropped") << "+1 (407) 555-1212" << false << "14075551212";
    QTest::newRow("private caller") << "P" << false << "";
    QTest::newRow("longer than the display") << "442079460958123" << false << "";
    QTest::newRow("during a call") << "4075551212" << true << "";
}

void TestTelLink::callBack() {
    QFETCH(QString, number);
    QFETCH(bool, duringACall);
    QFETCH(QString, shown);
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    if (duringACall) {
        line.startCall(true);
    }
    phone.numberEntry().callBack(number);
    QCOMPARE(line.written(), QByteArray());
    QCOMPARE(phone.face().text(PhoneView::Box::NumberOut), shown);
    QCOMPARE(line.messages.boxes.size(), shown.isEmpty() ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestTelLink)
#include "tst_tellink.moc"
