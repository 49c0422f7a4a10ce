#include "TempStore.h"
#include "phonebook/PhoneBookEntries.h"

#include <QTest>

// The entries as the store holds them, and the texts taken from them.
class TestPhoneBookEntries : public QObject {
    Q_OBJECT
private slots:
    void rowText_data();
    void rowText();
    void firstEmptyEntry();
    void dialable_data();
    void dialable();
    void withheldNumbers_data();
    void withheldNumbers();
    void awkwardTextsComeBackAsWritten_data();
    void awkwardTextsComeBackAsWritten();
};

void TestPhoneBookEntries::rowText_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("row3");
    QTest::newRow("no PhoneBook group") << QByteArray("[Modem]\nPort=1\n") << QStringLiteral(" ");
    QTest::newRow("first part only") << QByteArray("[PhoneBook]\n3=that text\n") << QStringLiteral("that text ");
    QTest::newRow("second part only") << QByteArray("[PhoneBook]\n3a=5551234\n") << QStringLiteral(" 5551234");
    QTest::newRow("both parts") << QByteArray("[PhoneBook]\n3=Alice\n3a=5551234\n") << QStringLiteral("Alice 5551234");
    QTest::newRow("key 13 is not entry 3") << QByteArray("[PhoneBook]\n13=x\n03=y\n") << QStringLiteral(" ");
}

void TestPhoneBookEntries::rowText() {
    QFETCH(QByteArray, file);
    QFETCH(QString, row3);
    TempStore temp;
    temp.writeRaw(file);
    QCOMPARE(PhoneBookEntries::displayText(temp.store(), 3), row3);
}

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
    QCOMPARE(PhoneBookEntries::dialable(text), expected);
}

void TestPhoneBookEntries::withheldNumbers_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("withheld");
    QTest::newRow("private") << "P" << true;
    QTest::newRow("out of area") << "O" << true;
    QTest::newRow("number") << "5551234567" << false;
    QTest::newRow("lower-case p") << "p" << false;
    QTest::newRow("empty") << "" << false;
}

void TestPhoneBookEntries::withheldNumbers() {
    QFETCH(QString, number);
    QFETCH(bool, withheld);
    QCOMPARE(PhoneBookEntries::isWithheldNumber(number), withheld);
}

void TestPhoneBookEntries::awkwardTextsComeBackAsWritten_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("comma") << "Smith, John";
    QTest::newRow("semicolon") << "A; B";
    QTest::newRow("quotes and equals") << "\"Joe\" = 1";
    QTest::newRow("brackets") << "[Modem]";
    QTest::newRow("backslash") << "C:\\x";
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
