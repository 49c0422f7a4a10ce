#include "TempStore.h"
#include "phonebook/PhoneBookEntries.h"

#include <QTest>

// The entries as the store holds them, and the numbers taken from them.
class TestPhoneBookEntries : public QObject {
    Q_OBJECT
private slots:
    void firstEmptyEntry();
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
