#include "WindowLine.h"
#include "console/Phone.h"
#include "console/frmPhone.h"
#include "phonebook/PhoneBookEditDialog.h"
#include "phonebook/PhoneBookPanel.h"
#include "setup/frmSetup.h"
#include "windows/SideWindows.h"
#include "windows/frmAbout.h"
#include "windows/frmSplash.h"

#include <QAccessible>
#include <QTest>
#include <functional>
#include <memory>

// What a screen reader finds in the windows: every control named, and the descriptions and
// values that tell the telephone's state following it. Read through the accessibility tree, as a
// screen reader's bridge reads it.
class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasAName_data();
    void everyControlHasAName();
    void controlsAndTheirNames_data();
    void controlsAndTheirNames();
    void descriptionsFollowTheState_data();
    void descriptionsFollowTheState();
};

using Change = std::function<void(WindowLine&)>;
Q_DECLARE_METATYPE(Change)

namespace {

using Box = PhoneFace::Box;
using Light = PhoneFace::Light;
using Latch = PhoneFace::Latch;

// Opens `which` of the program's windows over the line's telephone; `owned` keeps one that no
// other window owns.
QWidget* open(WindowLine& line, const QString& which, std::unique_ptr<QWidget>& owned) {
    frmPhone& phone = line.window();
    if (which == QLatin1String("setup")) {
        phone.sideWindows().showSetupDialog();
        return phone.sideWindows().setupDialog();
    }
    if (which == QLatin1String("about")) {
        phone.sideWindows().showAboutWindow();
        return phone.sideWindows().aboutWindow();
    }
    if (which == QLatin1String("splash")) {
        auto* splash = new frmSplash(line.clock, frmSplash::telephonePicture(phone));
        owned.reset(splash);
        splash->Form_Load(100.0);
        return splash;
    }
    if (which == QLatin1String("editor")) {
        phone.editPhoneBookEntry(2, QStringLiteral("SMITH JOHN"), QStringLiteral("5551234"));
        return phone.findChild<PhoneBookEditDialog*>();
    }
    phone.show();
    return &phone;
}

QAccessibleInterface* find(QAccessibleInterface* node, const std::function<bool(QAccessibleInterface*)>& wanted) {
    if (wanted(node)) {
        return node;
    }
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* found = find(node->child(i), wanted)) {
            return found;
        }
    }
    return nullptr;
}

QString objectName(QAccessibleInterface* node) {
    return node->object() ? node->object()->objectName() : QString();
}

// The control named `name` as the tree under `window` holds it. A lamp's name without its index
// is the picture that shows, the one a screen reader comes upon; it must reach the reader as a
// picture.
QAccessibleInterface* control(QWidget* window, const QString& name) {
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
    if (name == QLatin1String("picPower") || name == QLatin1String("picInuse")) {
        return find(root, [&](QAccessibleInterface* node) {
            return objectName(node).startsWith(name + QLatin1Char('_')) && !node->state().invisible &&
                   node->role() == QAccessible::Graphic;
        });
    }
    return find(root, [&](QAccessibleInterface* node) { return objectName(node) == name; });
}

// The name a screen reader gives a control. An editable list box's own name is its text on this
// platform; the reader names it by the label that points to it.
QString spokenName(QAccessibleInterface* node) {
    if (node->role() == QAccessible::ComboBox) {
        const auto labels = node->relations(QAccessible::Label);
        return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
    }
    return node->text(QAccessible::Name);
}

QString value(QAccessibleInterface* node) {
    if (QAccessibleValueInterface* slider = node->valueInterface()) {
        return slider->currentValue().toString();
    }
    return node->text(QAccessible::Value);
}

// The controls under `node` that a screen reader names and that have no name (a group of buttons
// without a title needs none).
void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed) {
    static const QList<QAccessible::Role> named = {
        QAccessible::Button, QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::EditableText,
        QAccessible::Slider, QAccessible::ComboBox, QAccessible::Graphic,     QAccessible::MenuItem,
        QAccessible::Dialog, QAccessible::Window};
    if (named.contains(node->role()) && spokenName(node).isEmpty()) {
        unnamed << QStringLiteral("%1 (role %2)").arg(objectName(node)).arg(node->role());
    }
    for (int i = 0; i < node->childCount(); ++i) {
        collectUnnamed(node->child(i), unnamed);
    }
}

} // namespace

void TestAccessibility::everyControlHasAName_data() {
    QTest::addColumn<QString>("window");
    for (const char* window : {"phone", "setup", "about", "splash", "editor"}) {
        QTest::newRow(window) << QString::fromLatin1(window);
    }
}

void TestAccessibility::everyControlHasAName() {
    QFETCH(QString, window);
    WindowLine line;
    std::unique_ptr<QWidget> owned;
    QWidget* shown = open(line, window, owned);
    QVERIFY(shown);
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(shown), unnamed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void TestAccessibility::controlsAndTheirNames_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");

    const auto row = [](const char* window, const char* control, const char* name, const char* description = "") {
        QTest::addRow("%s %s", window, control) << QString::fromLatin1(window) << QString::fromLatin1(control)
                                                << QString::fromLatin1(name) << QString::fromLatin1(description);
    };
    row("phone", "txtName", "Caller name");
    row("phone", "txtNumberOut", "Number to dial");
    row("phone", "picPower", "Attached to the modem", "off");
    row("phone", "picInuse_1", "Call in progress", "no");
    row("phone", "cmdNumber_9", "Key star");
    row("phone", "cmdNumber_11", "Key pound", "You can use the '/' key on the keypad");
    row("phone", "cmdSend", "Send", "Place or Answer a Call");
    row("phone", "cmdHold", "Hold", "Not on hold");
    row("phone", "cmdHandset", "Handset", "Speakerphone in use");
    row("phone", "Slider1", "Speaker volume", "Adjust Speaker Volume, from + at 0 to - at 15");
    row("phone", "cmdPBEnter", "Enter");
    row("phone", "ribPhoneBook_0", "Entry 1: empty", "Not selected");
    row("phone", "txtPhoneBook_11", "Entry 12: empty", "Not selected");
    row("setup", "txtModem", "Initialization string", "Pleas Include the AT Prefix");
    row("setup", "SSPanel2", "Comm Port");
    row("setup", "cboDevice_1", "Comm 2", "The Device of Comm 2: Choose One or Type Its Path");
    row("setup", "optTalkThrough_0", "Talk through the modem's speakerphone",
        "The modem lists no speakerphone (a selection with microphone, speaker and line)");
    row("about", "picIcon", "Brisvane icon");
    row("splash", "frmSplash", "Brisvane");
    row("splash", "imgLogo", "Picture of the telephone");
    row("editor", "txtEntryNumber", "Number", "Digits, * and #, and , for a pause");
}

void TestAccessibility::controlsAndTheirNames() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, description);
    WindowLine line;
    std::unique_ptr<QWidget> owned;
    QWidget* shown = open(line, window, owned);
    QVERIFY(shown);
    QAccessibleInterface* found = ::control(shown, control);
    QVERIFY2(found, qPrintable(control));
    QCOMPARE(spokenName(found), name);
    QCOMPARE(found->text(QAccessible::Description), description);
}

void TestAccessibility::descriptionsFollowTheState_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, const Change& change, const char* control, const char* reading,
                        const char* expected) {
        QTest::newRow(name) << change << QString::fromLatin1(control) << QString::fromLatin1(reading)
                            << QString::fromLatin1(expected);
    };
    const auto then = [](Change first, Change second) -> Change {
        return [=](WindowLine& line) {
            first(line);
            second(line);
        };
    };
    const auto lit = [](Light light, bool on) -> Change {
        return [=](WindowLine& line) { line.phone().face().setLit(light, on); };
    };
    const auto latched = [](Latch button, bool on) -> Change {
        return [=](WindowLine& line) { line.phone().face().setLatched(button, on); };
    };
    const auto stored = [](const char* name, const char* number) -> Change {
        return [=](WindowLine& line) {
            line.phone().phoneBook().storeEntry(2, QString::fromLatin1(name), QString::fromLatin1(number));
        };
    };
    const auto clicked = [](int entry) -> Change {
        return [=](WindowLine& line) { line.phone().phoneBook().ribPhoneBook_Click(entry, true); };
    };
    const Change smith = stored("SMITH JOHN", "5551234");
    const Change speakerAt12 = [](WindowLine& line) { line.phone().face().setSpeakerLevel(12); };
    const Change inUse = [](WindowLine& line) { line.phone().face().setText(Box::Status, QStringLiteral("In Use")); };

    row("power lamp lit", lit(Light::Power, true), "picPower", "description", "on");
    row("both pictures", lit(Light::Power, true), "picPower_0", "description", "on");
    row("in-use lamp lit", lit(Light::InUse, true), "picInuse", "description", "yes");
    row("Hold latched", latched(Latch::Hold, true), "cmdHold", "description", "On hold");
    row("Hold released", then(latched(Latch::Hold, true), latched(Latch::Hold, false)), "cmdHold", "description",
        "Not on hold");
    row("Mute latched", latched(Latch::Mute, true), "cmdMute", "description", "Muted");
    row("Handset latched", latched(Latch::Handset, true), "cmdHandset", "description", "Handset in use");
    row("speaker level set", speakerAt12, "Slider1", "value", "12");
    row("status shown", inUse, "txtStatus", "value", "In Use");
    row("entry stored: button", smith, "ribPhoneBook_2", "name", "Entry 3: SMITH JOHN 5551234");
    row("entry stored: row", smith, "txtPhoneBook_2", "name", "Entry 3: SMITH JOHN 5551234");
    row("entry emptied", then(smith, stored("", "")), "ribPhoneBook_2", "name", "Entry 3: empty");
    row("entry selected", then(smith, clicked(2)), "txtPhoneBook_2", "description", "Selected");
    row("another entry selected", then(clicked(2), clicked(5)), "ribPhoneBook_2", "description", "Not selected");
}

void TestAccessibility::descriptionsFollowTheState() {
    QFETCH(Change, change);
    QFETCH(QString, control);
    QFETCH(QString, reading);
    QFETCH(QString, expected);
    WindowLine line;
    line.widget().show();
    change(line);
    QAccessibleInterface* found = ::control(&line.widget(), control);
    QVERIFY2(found, qPrintable(control));
    const QString read = reading == QLatin1String("name")          ? found->text(QAccessible::Name)
                         : reading == QLatin1String("description") ? found->text(QAccessible::Description)
                                                                   : value(found);
    QCOMPARE(read, expected);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
