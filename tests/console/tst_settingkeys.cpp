#include "TempStore.h"
#include "console/SettingKeys.h"

#include <QTest>

Q_DECLARE_METATYPE(Settings::Key)

// The key table against the file that earlier versions wrote and read: spellings, groups and the
// defaults each reader takes.
class TestSettingKeys : public QObject {
    Q_OBJECT
private slots:
    void keysAsTheFileSpellsThem_data();
    void keysAsTheFileSpellsThem();
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

QTEST_GUILESS_MAIN(TestSettingKeys)
#include "tst_settingkeys.moc"
