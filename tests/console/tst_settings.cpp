#include "TempStore.h"
#include "console/SharedState.h"

#include <QTest>

// The settings store's texts, defaults and the one load sequence.
class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void emptyStoreLoadsDefaults();
    void valuesAreWrittenAsPlainText();
    void handEditedValuesReadAsWritten_data();
    void handEditedValuesReadAsWritten();
    void conversions_data();
    void conversions();
    void loadStopsAtFirstBadValue_data();
    void loadStopsAtFirstBadValue();
    void portsGroupGivesDevicePaths();
    void phoneBookKeysAreNeverChangedByReading();
};

void TestSettings::emptyStoreLoadsDefaults() {
    TempStore temp;
    SharedState shared;
    qint16 speaker = 0;
    QVERIFY(loadModemSettings(temp.store(), shared, speaker).isEmpty());
    QCOMPARE(shared.PortNumber, 1);
    QCOMPARE(speaker, 5);
    QCOMPARE(shared.IntString, QString());
    QCOMPARE(shared.CallerID, QString());
    QCOMPARE(shared.CallerIDString, QString());
    QCOMPARE(shared.AutoOn, QStringLiteral("False"));
    QVERIFY(!shared.AutoAns);
    QVERIFY(!shared.DisCID);
    QVERIFY(!shared.DisCW);
    QVERIFY(!shared.ModemAttached);
    QVERIFY(temp.readRaw().isEmpty()); // loading writes nothing
}

void TestSettings::valuesAreWrittenAsPlainText() {
    TempStore temp;
    temp.store().write(Settings::Modem, QStringLiteral("Speaker"), QString::number(7));
    temp.store().write(Settings::Modem, QStringLiteral("IntString"), QStringLiteral("AT#CLS=8#VLS=6"));
    temp.store().write(Settings::Modem, QStringLiteral("CallerID"), QString());
    QVERIFY(temp.readRaw().contains("Speaker=7\n"));
    QCOMPARE(temp.store().read(Settings::Modem, QStringLiteral("Speaker")), QStringLiteral("7"));
    QCOMPARE(temp.store().read(Settings::Modem, QStringLiteral("IntString")), QStringLiteral("AT#CLS=8#VLS=6"));
    // An empty value is present, and reads as empty rather than as the default.
    QVERIFY(temp.store().contains(Settings::Modem, QStringLiteral("CallerID")));
    QCOMPARE(temp.store().read(Settings::Modem, QStringLiteral("CallerID"), QStringLiteral("x")), QString());
    // A second store on the same file sees the write at once.
    SettingsStore other(temp.path());
    QCOMPARE(other.read(Settings::Modem, QStringLiteral("Speaker")), QStringLiteral("7"));
}

void TestSettings::handEditedValuesReadAsWritten_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unquoted comma") << QByteArray("IntString=AT#CLS=8, #VLS=6") << QStringLiteral("AT#CLS=8, #VLS=6");
    QTest::newRow("two commas") << QByteArray("IntString=a,b,,c") << QStringLiteral("a,b,,c");
    QTest::newRow("semicolon") << QByteArray("IntString=AT#CID=1 ;x") << QStringLiteral("AT#CID=1 ;x");
    QTest::newRow("blanks around") << QByteArray("IntString =  ATZ  ") << QStringLiteral("ATZ");
    QTest::newRow("quoted comma") << QByteArray("IntString=\"a,b\"") << QStringLiteral("a,b");
    QTest::newRow("empty") << QByteArray("IntString=") << QString();
}

void TestSettings::handEditedValuesReadAsWritten() {
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    TempStore temp;
    temp.writeRaw("[Modem]\n" + line + "\n[PhoneBook]\nIntString=other\n");
    QCOMPARE(temp.store().read(Settings::Modem, QStringLiteral("IntString"), QStringLiteral("default")), expected);
}

void TestSettings::conversions_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("integer"); // -99999: not convertible
    QTest::addColumn<int>("boolean"); // -1 not convertible, 0 false, 1 true
    QTest::newRow("7") << "7" << 7 << 1;
    QTest::newRow("blanks") << " 12 " << 12 << 1;
    QTest::newRow("zero") << "0" << 0 << 0;
    QTest::newRow("negative") << "-3" << -3 << 1;
    QTest::newRow("word") << "abc" << -99999 << -1;
    QTest::newRow("empty") << "" << -99999 << -1;
    QTest::newRow("too big") << "70000" << -99999 << 1;
    QTest::newRow("True") << "True" << -99999 << 1;
    QTest::newRow("false lower") << "false" << -99999 << 0;
}

void TestSettings::conversions() {
    QFETCH(QString, text);
    QFETCH(int, integer);
    QFETCH(int, boolean);
    const auto i = Convert::toInteger(text);
    QCOMPARE(i ? int(*i) : -99999, integer);
    const auto b = Convert::toBoolean(text);
    QCOMPARE(b ? int(*b) : -1, boolean);
    QCOMPARE(Convert::fromBoolean(true), QStringLiteral("True"));
    QCOMPARE(Convert::fromBoolean(false), QStringLiteral("False"));
}

void TestSettings::loadStopsAtFirstBadValue_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("badKey");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("intString");
    QTest::newRow("port") << QByteArray("[Modem]\nPort=COM1\nIntString=ATZ\n") << "Port" << 0 << QString();
    QTest::newRow("speaker") << QByteArray("[Modem]\nPort=2\nIntString=ATZ\nSpeaker=loud\n") << "Speaker" << 2 << "ATZ";
    QTest::newRow("switch") << QByteArray("[Modem]\nPort=3\nIntString=ATZ\nDisCID=maybe\n") << "DisCID" << 3 << "ATZ";
}

void TestSettings::loadStopsAtFirstBadValue() {
    QFETCH(QByteArray, file);
    QFETCH(QString, badKey);
    QFETCH(int, port);
    QFETCH(QString, intString);
    TempStore temp;
    temp.writeRaw(file);
    SharedState shared;
    qint16 speaker = 0;
    const auto errors = loadModemSettings(temp.store(), shared, speaker);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().key, badKey);
    QCOMPARE(int(shared.PortNumber), port);
    QCOMPARE(shared.IntString, intString);
    QCOMPARE(int(speaker), 0);

    // The main window's load takes the defaults instead and goes on to the end.
    SharedState loaded;
    qint16 level = 0;
    const auto all = loadModemSettings(temp.store(), loaded, level, OnBadValue::UseDefault);
    QCOMPARE(all.size(), 1);
    QCOMPARE(loaded.IntString, QStringLiteral("ATZ"));
    QCOMPARE(int(loaded.PortNumber), port == 0 ? 1 : port);
    QCOMPARE(int(level), 5);
}

void TestSettings::portsGroupGivesDevicePaths() {
    TempStore temp;
    QCOMPARE(temp.store().portDevice(1), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(temp.store().portDevice(4), QStringLiteral("/dev/ttyS3"));
    temp.store().setPortDevice(2, QStringLiteral("/dev/serial/by-id/usb-modem"));
    QCOMPARE(temp.store().portDevice(2), QStringLiteral("/dev/serial/by-id/usb-modem"));
    QVERIFY(temp.readRaw().contains("[Ports]"));
}

void TestSettings::phoneBookKeysAreNeverChangedByReading() {
    TempStore temp;
    const QByteArray file = "[PhoneBook]\n3=Alice\n4a=555\n";
    temp.writeRaw(file);
    QCOMPARE(temp.store().read(Settings::PhoneBook, QStringLiteral("3")), QStringLiteral("Alice"));
    QCOMPARE(temp.store().read(Settings::PhoneBook, QStringLiteral("3a")), QString());
    QCOMPARE(temp.readRaw(), file);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
