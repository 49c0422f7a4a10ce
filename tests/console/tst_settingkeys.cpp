#include "TempStore.h"
#include "console/SettingKeys.h"

#include <QSet>
#include <QTest>

Q_DECLARE_METATYPE(Settings::Key)

// The key table against the file that earlier versions wrote and read: spellings, groups, the
// defaults each reader takes, and the text forms of switches and numbers.
class TestSettingKeys : public QObject {
    Q_OBJECT
private slots:
    void keysAsTheFileSpellsThem_data();
    void keysAsTheFileSpellsThem();
    void tableHoldsEveryKeyOnce();
    void typedWritesGiveTheStoredForm_data();
    void typedWritesGiveTheStoredForm();
    void heldSwitchRules_data();
    void heldSwitchRules();
};

namespace {

struct Spelling {
    Settings::Key key;
    const char* group;
    const char* name;
    const char* loadDefault;
    const char* setupDefault;
};

// As the file has them, whatever the table says.
QList<Spelling> spellings() {
    return {
        {Settings::Port, "Modem", "Port", "1", "1"},
        {Settings::IntString, "Modem", "IntString", "", "AT#CLS=8#VLS=6"},
        {Settings::AutoOn, "Modem", "AutoOn", "False", "False"},
        {Settings::CallerID, "Modem", "CallerID", "", ""},
        {Settings::CallerIDString, "Modem", "CallerIDString", "", "#CID=1"},
        {Settings::AutoAns, "Modem", "AutoAns", "False", "False"},
        {Settings::DisCID, "Modem", "DisCID", "False", "False"},
        {Settings::DisCW, "Modem", "DisCW", "False", "False"},
        {Settings::Speaker, "Modem", "Speaker", "5", "5"},
        {Settings::LastDialed, "Modem", "LastDialed", "", ""},
        {Settings::phoneBookName(0), "PhoneBook", "0", "", ""},
        {Settings::phoneBookNumber(0), "PhoneBook", "0a", "", ""},
        {Settings::phoneBookName(11), "PhoneBook", "11", "", ""},
        {Settings::phoneBookNumber(11), "PhoneBook", "11a", "", ""},
        {Settings::portDevice(1), "Ports", "1", "/dev/ttyS0", "/dev/ttyS0"},
        {Settings::portDevice(4), "Ports", "4", "/dev/ttyS3", "/dev/ttyS3"},
        {Settings::CallForward, "Services", "CallForward", "*72", "*72"},
        {Settings::CallForwardCancel, "Services", "CallForwardCancel", "*73", "*73"},
        {Settings::Repeat, "Services", "Repeat", "*66", "*66"},
        {Settings::RepeatCancel, "Services", "RepeatCancel", "*86", "*86"},
        {Settings::LastCaller, "Services", "LastCaller", "*69", "*69"},
        {Settings::LastCallerCancel, "Services", "LastCallerCancel", "*89", "*89"},
    };
}

QString where(const Settings::Key& key) {
    return key.section + QLatin1Char('/') + key.name;
}

} // namespace

void TestSettingKeys::keysAsTheFileSpellsThem_data() {
    QTest::addColumn<Settings::Key>("key");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("loadDefault");
    QTest::addColumn<QString>("setupDefault");
    for (const Spelling& s : spellings()) {
        QTest::addRow("%s/%s", s.group, s.name)
            << s.key << QByteArray("[") + s.group + "]\n" + s.name + "=x\n"
            << QString::fromLatin1(s.loadDefault) << QString::fromLatin1(s.setupDefault);
    }
}

void TestSettingKeys::keysAsTheFileSpellsThem() {
    QFETCH(Settings::Key, key);
    QFETCH(QByteArray, line);
    QFETCH(QString, loadDefault);
    QFETCH(QString, setupDefault);
    TempStore temp;
    QCOMPARE(temp.store().read(key), loadDefault);
    QCOMPARE(temp.store().read(key, Settings::Reader::Setup), setupDefault);
    QVERIFY(temp.readRaw().isEmpty());

    QVERIFY(temp.store().write(key, QStringLiteral("x")));
    QCOMPARE(temp.readRaw(), line);
    QCOMPARE(temp.store().read(key, Settings::Reader::Setup), QStringLiteral("x"));
}

void TestSettingKeys::tableHoldsEveryKeyOnce() {
    QSet<QString> spelled;
    for (const Spelling& s : spellings()) {
        spelled << where(s.key);
    }
    QSet<QString> seen;
    for (const Settings::Key& key : Settings::all()) {
        const bool phoneBookOrPort = key.section == Settings::PhoneBook || key.section == Settings::Ports;
        QVERIFY2(phoneBookOrPort || spelled.contains(where(key)),
                 qPrintable(where(key) + QStringLiteral(" unchecked")));
        QVERIFY2(!seen.contains(where(key)), qPrintable(where(key) + QStringLiteral(" twice")));
        seen << where(key);
    }
    QCOMPARE(seen.size(), 16 + 24 + 4);
}

void TestSettingKeys::typedWritesGiveTheStoredForm_data() {
    QTest::addColumn<Settings::Key>("key");
    QTest::addColumn<int>("value"); // a switch: 0 off, 1 on
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("switch on") << Settings::AutoAns << 1 << QByteArray("AutoAns=True\n");
    QTest::newRow("switch off") << Settings::DisCW << 0 << QByteArray("DisCW=False\n");
    QTest::newRow("speaker 7") << Settings::Speaker << 7 << QByteArray("Speaker=7\n");
    QTest::newRow("speaker 15") << Settings::Speaker << 15 << QByteArray("Speaker=15\n");
    QTest::newRow("port 0") << Settings::Port << 0 << QByteArray("Port=0\n");
}

void TestSettingKeys::typedWritesGiveTheStoredForm() {
    QFETCH(Settings::Key, key);
    QFETCH(int, value);
    QFETCH(QByteArray, line);
    TempStore temp;
    QVERIFY(key.form == Settings::Form::Switch ? temp.store().writeSwitch(key, value != 0)
                                               : temp.store().writeInteger(key, value));
    QCOMPARE(temp.readRaw(), "[Modem]\n" + line);
    if (key.form == Settings::Form::Switch) {
        QCOMPARE(temp.store().readSwitch(key), std::optional<bool>(value != 0));
    }
}

void TestSettingKeys::heldSwitchRules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("exactlyTrue"); // the attach, the setup dialog
    QTest::addColumn<bool>("readsAsTrue"); // the main window's load
    QTest::newRow("True") << "True" << true << true;
    QTest::newRow("true") << "true" << false << true;
    QTest::newRow("TRUE") << "TRUE" << false << true;
    QTest::newRow("blank before") << " True" << false << true;
    QTest::newRow("-1") << "-1" << false << true;
    QTest::newRow("False") << "False" << false << false;
    QTest::newRow("0") << "0" << false << false;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("yes") << "yes" << false << false;
}

void TestSettingKeys::heldSwitchRules() {
    QFETCH(QString, text);
    QFETCH(bool, exactlyTrue);
    QFETCH(bool, readsAsTrue);
    QCOMPARE(Settings::isExactlyTrue(text), exactlyTrue);
    QCOMPARE(Settings::readsAsTrue(text), readsAsTrue);
}

QTEST_GUILESS_MAIN(TestSettingKeys)
#include "tst_settingkeys.moc"
