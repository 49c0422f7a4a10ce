#include "RecordingMessageBoxes.h"
#include "TempStore.h"
#include "console/LineKeepingIniFormat.h"
#include "console/SharedState.h"

#include <QDir>
#include <QFile>
#include <QSettings>
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
    void writesKeepTheFilesLines_data();
    void writesKeepTheFilesLines();
    void removingAKeyTakesItsLines();
    void qtWrittenValuesKeepTheirMeaningAndBytes_data();
    void qtWrittenValuesKeepTheirMeaningAndBytes();
    void programValuesAreWrittenAsQtWritesThem_data();
    void programValuesAreWrittenAsQtWritesThem();
    void failedWriteIsReportedOnce_data();
    void failedWriteIsReportedOnce();
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
    QTest::newRow("quotes inside") << QByteArray("IntString=Joe \"The Plumber\"") << "Joe \"The Plumber\"";
    QTest::newRow("quoted, then a comment") << QByteArray("IntString=\"ATZ\" ; reset") << QStringLiteral("ATZ");
    QTest::newRow("Qt's list") << QByteArray("IntString=\"a,b\" , c") << QStringLiteral("a,b, c");
    QTest::newRow("CRLF") << QByteArray("IntString=ATZ\r") << QStringLiteral("ATZ");
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

void TestSettings::writesKeepTheFilesLines_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("writes"); // section, key, text; section, key, text; ...
    QTest::addColumn<QByteArray>("after");
    const QStringList speaker7{Settings::Modem, QStringLiteral("Speaker"), QStringLiteral("7")};

    QTest::newRow("hand-edited ; , and quotes")
        << QByteArray("[Modem]\nSpeaker=5\n\n[PhoneBook]\n0=Pizza; Joe's\n1=Smith,John\n2=Joe \"The Plumber\"\n")
        << speaker7
        << QByteArray("[Modem]\nSpeaker=7\n\n[PhoneBook]\n0=Pizza; Joe's\n1=Smith,John\n2=Joe \"The Plumber\"\n");
    QTest::newRow("comments, blanks, unknown keys and groups")
        << QByteArray("; Brisvane\n# by hand\n[Window]\nx=1\n\n[Modem]\n; study modem\nPort=2\nVolume=loud\n\n"
                      "[PhoneBook]\n0=Alice\n\n; end\n")
        << QStringList{Settings::PhoneBook, QStringLiteral("0a"), QStringLiteral("555")}
        << QByteArray("; Brisvane\n# by hand\n[Window]\nx=1\n\n[Modem]\n; study modem\nPort=2\nVolume=loud\n\n"
                      "[PhoneBook]\n0=Alice\n0a=555\n\n; end\n");
    QTest::newRow("changed line rewritten in place as Qt writes it")
        << QByteArray("[Modem]\nSpeaker=5\n  IntString = ATZ\nPort=2\n")
        << QStringList{Settings::Modem, QStringLiteral("IntString"), QStringLiteral("AT&F; Z")}
        << QByteArray("[Modem]\nSpeaker=5\nIntString=\"AT&F; Z\"\nPort=2\n");
    QTest::newRow("same text again keeps the hand spelling")
        << QByteArray("[PhoneBook]\n1=Smith,John\n")
        << QStringList{Settings::PhoneBook, QStringLiteral("1"), QStringLiteral("Smith,John")}
        << QByteArray("[PhoneBook]\n1=Smith,John\n");
    QTest::newRow("new keys in the order written")
        << QByteArray("[Modem]\nPort=2\n\n[PhoneBook]\n0=Alice\n")
        << speaker7 + QStringList{Settings::Modem, QStringLiteral("LastDialed"), QStringLiteral("555")}
        << QByteArray("[Modem]\nPort=2\nSpeaker=7\nLastDialed=555\n\n[PhoneBook]\n0=Alice\n");
    QTest::newRow("new group at the end") << QByteArray("[Modem]\nPort=2\n")
                                          << QStringList{Settings::Ports, QStringLiteral("1"), QStringLiteral("/dev/x")}
                                          << QByteArray("[Modem]\nPort=2\n\n[Ports]\n1=/dev/x\n");
    QTest::newRow("CRLF endings stay") << QByteArray("[Modem]\r\nSpeaker=5\r\nPort=2\r\n") << speaker7
                                       << QByteArray("[Modem]\r\nSpeaker=7\r\nPort=2\r\n");
    QTest::newRow("no final line feed") << QByteArray("[Modem]\nPort=2") << speaker7
                                        << QByteArray("[Modem]\nPort=2\nSpeaker=7\n");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Modem]\nSpeaker=5\n") << speaker7
                                     << QByteArray("\xEF\xBB\xBF[Modem]\nSpeaker=7\n");
    QTest::newRow("the last line of a key changes") << QByteArray("[Modem]\nSpeaker=3\nPort=2\nSpeaker=4\n") << speaker7
                                                    << QByteArray("[Modem]\nSpeaker=3\nPort=2\nSpeaker=7\n");
}

void TestSettings::writesKeepTheFilesLines() {
    QFETCH(QByteArray, before);
    QFETCH(QStringList, writes);
    QFETCH(QByteArray, after);
    TempStore temp;
    temp.writeRaw(before);
    for (qsizetype i = 0; i + 2 < writes.size(); i += 3) {
        QVERIFY(temp.store().write(writes[i], writes[i + 1], writes[i + 2]));
        QCOMPARE(temp.store().read(writes[i], writes[i + 1]), writes[i + 2]);
    }
    QCOMPARE(temp.readRaw(), after);
    // A second store, as the next start of the program would make, reads what was written.
    SettingsStore next(temp.path());
    QCOMPARE(next.read(writes[0], writes[1]), writes[2]);
}

void TestSettings::removingAKeyTakesItsLines() {
    TempStore temp;
    temp.writeRaw("[Modem]\nPort=1\n; note\nSpeaker=3\nPort=2\n");
    {
        QSettings settings(temp.path(), LineKeepingIniFormat::format());
        settings.remove(QStringLiteral("Modem/Port"));
    }
    QCOMPARE(temp.readRaw(), QByteArray("[Modem]\n; note\nSpeaker=3\n"));
    QVERIFY(!temp.store().contains(Settings::Modem, QStringLiteral("Port")));
}

namespace {

// Texts that Qt's INI writer quotes, escapes or encodes.
void addStoredTexts() {
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QStringLiteral("AT#CLS=8#VLS=6");
    QTest::newRow("semicolon") << QStringLiteral("Pizza; Joe's");
    QTest::newRow("comma") << QStringLiteral("Smith,John");
    QTest::newRow("quotes") << QStringLiteral("Joe \"The Plumber\"");
    QTest::newRow("backslash") << QStringLiteral("C:\\modem\\");
    QTest::newRow("blanks around") << QStringLiteral("  ATZ ");
    QTest::newRow("at sign") << QStringLiteral("@home");
    QTest::newRow("two at signs") << QStringLiteral("@@x");
    QTest::newRow("looks encoded") << QStringLiteral("@ByteArray(x)");
    QTest::newRow("comment sign first") << QStringLiteral(";#x");
    QTest::newRow("empty") << QString();
    QTest::newRow("controls") << QStringLiteral("a\tb\nc\r\x01"
                                                "f\x7f");
    QTest::newRow("nul then digits") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("12b"));
    QTest::newRow("non-ASCII") << QStringLiteral(u"J\u00fcrgen \u20ac \U0001F600");
    QTest::newRow("everything") << QStringLiteral(" \"a\",b;c=d\\ ");
}

} // namespace

void TestSettings::qtWrittenValuesKeepTheirMeaningAndBytes_data() {
    addStoredTexts();
}

void TestSettings::qtWrittenValuesKeepTheirMeaningAndBytes() {
    QFETCH(QString, text);
    TempStore temp;
    {
        QSettings qt(temp.path(), QSettings::IniFormat);
        qt.setValue(QStringLiteral("Modem/IntString"), text);
        qt.setValue(QStringLiteral("Modem/Speaker"), QStringLiteral("5"));
        qt.setValue(QStringLiteral("PhoneBook/0"), text);
    }
    // A note added by hand.
    const QByteArray before = "; mine\n" + temp.readRaw();
    temp.writeRaw(before);
    QCOMPARE(temp.store().read(Settings::Modem, QStringLiteral("IntString")), text);
    QCOMPARE(temp.store().read(Settings::PhoneBook, QStringLiteral("0")), text);

    QVERIFY(temp.store().write(Settings::Modem, QStringLiteral("Speaker"), QStringLiteral("7")));
    QByteArray expected = before;
    expected.replace("Speaker=5\n", "Speaker=7\n");
    QCOMPARE(temp.readRaw(), expected);
}

void TestSettings::programValuesAreWrittenAsQtWritesThem_data() {
    addStoredTexts();
}

void TestSettings::programValuesAreWrittenAsQtWritesThem() {
    QFETCH(QString, text);
    TempStore ours;
    ours.writeRaw("[Modem]\nIntString=ATZ\n");
    QVERIFY(ours.store().write(Settings::Modem, QStringLiteral("IntString"), text));
    QVERIFY(ours.store().write(Settings::Modem, QStringLiteral("CallerIDString"), text));
    QCOMPARE(ours.store().read(Settings::Modem, QStringLiteral("IntString")), text);
    QCOMPARE(ours.store().read(Settings::Modem, QStringLiteral("CallerIDString")), text);

    // The same bytes as Qt's own writer, so that older versions read the same text.
    TempStore qt;
    {
        QSettings settings(qt.path(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Modem/IntString"), text);
        settings.setValue(QStringLiteral("Modem/CallerIDString"), text);
    }
    const QList<QByteArray> qtLines = qt.readRaw().split('\n');
    QCOMPARE(ours.readRaw(), QByteArray("[Modem]\n" + qtLines[2] + '\n' + qtLines[1] + '\n'));
}

void TestSettings::failedWriteIsReportedOnce_data() {
    QTest::addColumn<bool>("pathIsFolder"); // else the folder is a file
    QTest::newRow("path is a folder") << true;
    QTest::newRow("folder is a file") << false;
}

void TestSettings::failedWriteIsReportedOnce() {
    QFETCH(bool, pathIsFolder);
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/config");
    const QString path = folder + QStringLiteral("/Vantrel.conf");
    // Both fail for root too.
    const auto obstruct = [&] {
        QDir(folder).removeRecursively();
        if (pathIsFolder) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    };
    const auto clear = [&] {
        QFile::remove(folder);
        QDir(folder).removeRecursively();
    };

    RecordingMessageBoxes messages;
    SettingsStore store(path);
    store.reportWriteFailuresTo(messages);
    obstruct();
    QVERIFY(!store.write(Settings::Modem, QStringLiteral("Speaker"), QStringLiteral("7")));
    QVERIFY(messages.boxes.isEmpty()); // not opened inside the write
    QVERIFY(!store.write(Settings::Modem, QStringLiteral("Port"), QStringLiteral("2")));
    QTRY_COMPARE(messages.boxes.size(), 1);
    QCOMPARE(messages.boxes[0].icon, MessageBoxes::Icon::Warning);
    QCOMPARE(messages.boxes[0].title, ApplicationTitle);
    QVERIFY2(messages.boxes[0].text.contains(path), qPrintable(messages.boxes[0].text));
    QVERIFY(!store.write(Settings::Modem, QStringLiteral("Port"), QStringLiteral("3")));

    // After a write that succeeds, the next failure is told again.
    clear();
    QVERIFY(store.write(Settings::Modem, QStringLiteral("Port"), QStringLiteral("4")));
    obstruct();
    QVERIFY(!store.write(Settings::Modem, QStringLiteral("Port"), QStringLiteral("5")));
    QTRY_COMPARE(messages.boxes.size(), 2);
    QCoreApplication::processEvents();
    QCOMPARE(messages.boxes.size(), 2);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
