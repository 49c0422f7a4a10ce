#include "TempStore.h"
#include "call/CommandLines.h"
#include "phonebook/PhoneBookEntries.h"

#include <QTest>

// The entries as the store holds them, and the numbers taken from them.
class TestPhoneBookEntries : public QObject {
    Q_OBJECT
private slots:
    void firstEmptyEntry();
    void dialable_data();
    void dialable();
    void awkwardTextsComeBackAsWritten_data();
    void awkwardTextsComeBackAsWritten();
};

void TestPhoneBookEntries::firstEmptyEntry() {
    TempStore temp;
    SettingsStore& store = temp.store();
    QCOMPARE(PhoneBookEntries::firstEmptyEntry(store), 0);
    PhoneBookEntries::write(store, 0, QStringLiteral("Alice"), QString());
    PhoneBookEntries::write(store, 1, QString(), QStringLiteral("5551234"));
    PhoneBookEntries::write(store, 2, QStringLiteral("  "), QStringLiteral(" ")); // blanks only: empty
    QCOMPARE(PhoneBookEntries::firstEmptyEntry(store), 2);
    for (int i = 0; i < PhoneBookEntries::Count; ++i) {
        PhoneBookEntries::write(store, i, QStringLiteral("n%1").arg(i), QString());
    }
    QCOMPARE(PhoneBookEntries::firstEmptyEntry(store), -1);
}

void TestPhoneBookEntries::dialable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain digits") << "5551234"
                                  << "5551234";
    QTest::newRow("punctuation") << "(555) 123-4567"
                                 << "5551234567";
    QTest::newRow("star hash pause") << "*67,555#"
                                     << "*67,555#";
    QTest::newRow("letters and plus") << "+1 800 FLOWERS"
                                      << "1800";
    QTest::newRow("non-ASCII digits") << QString::fromUtf8("\u0661\u0662 34") << "34";
    QTest::newRow("empty") << ""
                           << "";
}

void TestPhoneBookEntries::dialable() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(CommandLines::dialable(text), expected);
}

void TestPhoneBookEntries::awkwardTextsComeBackAsWritten_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("comma") << "Smith, John";
    QTest::newRow("semicolon") << "A; B";
    QTest::newRow("quotes and equals") << "\"Joe\" = 1";
    QTest::newRow("accents") << QString::fromUtf8("Zo\u00eb M\u00fcller");
}

void TestPhoneBookEntries::awkwardTextsComeBackAsWritten() {
    QFETCH(QString, name);
    TempStore temp;
    PhoneBookEntries::write(temp.store(), 5, name, QStringLiteral("5551234"));
    QCOMPARE(PhoneBookEntries::name(temp.store(), 5), name);
    QCOMPARE(PhoneBookEntries::displayText(temp.store(), 5), name + QStringLiteral(" 5551234"));
    // The rest of the store is untouched.
    QCOMPARE(temp.store().read(Settings::Modem, QStringLiteral("Port"), QStringLiteral("absent")),
             QStringLiteral("absent"));
}

QTEST_GUILESS_MAIN(TestPhoneBookEntries)
#include "tst_phonebookentries.moc"
