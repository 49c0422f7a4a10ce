#include "RecordingView.h"
#include "WindowLine.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "console/frmPhone.h"
#include "phonebook/PhoneBookEditDialog.h"
#include "platform/Controls.h"
#include "windows/SideWindows.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <functional>
#include <utility>

// The main window as the telephone's view: each control hands its action to its handler, and
// the window shows what the telephone holds.
class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void everyControlForwardsItsAction_data();
    void everyControlForwardsItsAction();
    void theWindowShowsWhatTheTelephoneHolds_data();
    void theWindowShowsWhatTheTelephoneHolds();
    void everyControlCarriesItsDesignName();
    void menus();
    void theWindowCannotBeResized();
    void sendIsTheDefaultButton();
};

using FaceChange = std::function<void(PhoneFace&)>;
Q_DECLARE_METATYPE(FaceChange)

namespace {

using Box = PhoneFace::Box;
using Light = PhoneFace::Light;
using Latch = PhoneFace::Latch;

const QByteArray Init("AT#CLS=8#VLS=6#CID=1\r");
// A service code's call, the modem reporting the voice connection: the speaker level follows.
QByteArray serviceCall(const QByteArray& dialled) {
    return "AT#VRN=0\rATDT" + dialled + "\rAT#SPK=,5,,\r";
}

// Puts the telephone in the state `given` describes, step by step (separated by ";"):
//   attached              the usual modem set-up, loaded and attached
//   stored detached       the usual set-up with AutoOn off, loaded
//   call / connected call a call in progress, without or with its voice connection
//   number X              the number display holds X
//   last dialed X         the store's last dialled number
//   entry I NAME NUMBER   phone-book entry I
//   selected I            entry button I down
//   caller NUMBER NAME    the last caller-ID report
//   modem connects        the modem reports the voice connection once a number is dialled
bool prepare(WindowLine& line, const QString& given) {
    for (const QString& part : given.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString step = part.trimmed();
        const QStringList words = step.split(QLatin1Char(' '));
        const QString rest = words.mid(1).join(QLatin1Char(' '));
        if (step == QLatin1String("attached")) {
            if (!line.attach()) {
                return false;
            }
        } else if (step == QLatin1String("stored detached")) {
            line.storeModem(false);
            line.load();
        } else if (step == QLatin1String("call") || step == QLatin1String("connected call")) {
            line.startCall(step.startsWith(QLatin1String("connected")));
        } else if (words.first() == QLatin1String("number")) {
            line.phone().face().setText(Box::NumberOut, rest);
        } else if (step.startsWith(QLatin1String("last dialed "))) {
            line.store().write(Settings::LastDialed, words.last());
        } else if (words.first() == QLatin1String("entry")) {
            const int index = words.at(1).toInt();
            line.store().write(Settings::phoneBookName(index), words.at(2));
            line.store().write(Settings::phoneBookNumber(index), words.at(3));
        } else if (words.first() == QLatin1String("selected")) {
            line.phone().face().setPhoneBookButton(rest.toInt(), true);
        } else if (words.first() == QLatin1String("caller")) {
            line.phone().state.LastReportNumber = words.at(1);
            line.phone().state.LastReportName = words.at(2);
        } else if (step == QLatin1String("modem connects")) {
            line.answer("ATDT", "\r\nVCON\r\n");
        } else {
            qWarning("unknown step: %s", qPrintable(step));
            return false;
        }
    }
    return true;
}

QString onOff(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

// What the telephone holds for `what` (see the rows), as text.
QString observe(WindowLine& line, const QString& what) {
    Phone& phone = line.phone();
    const PhoneFace& face = phone.face();
    const QStringList words = what.split(QLatin1Char(' '));
    if (what == QLatin1String("number")) {
        return face.text(Box::NumberOut);
    }
    if (what == QLatin1String("status")) {
        return face.text(Box::Status);
    }
    if (what == QLatin1String("power lamp")) {
        return onOff(face.lit(Light::Power));
    }
    if (what == QLatin1String("width")) {
        return QString::number(face.widthTwips());
    }
    if (what == QLatin1String("selected")) {
        return QString::number(face.selectedEntry());
    }
    if (words.first() == QLatin1String("row")) {
        return face.phoneBookRow(words.at(1).toInt());
    }
    if (words.first() == QLatin1String("latched")) {
        const Latch latch = words.at(1) == QLatin1String("Hold")   ? Latch::Hold
                            : words.at(1) == QLatin1String("Mute") ? Latch::Mute
                                                                   : Latch::Handset;
        return latch == Latch::Handset ? onOff(face.latched(latch)) + QLatin1Char(' ') + face.handsetToolTip()
                                       : onOff(face.latched(latch));
    }
    if (what == QLatin1String("stored speaker")) {
        return line.store().read(Settings::Speaker);
    }
    if (what == QLatin1String("gain")) {
        return QString::number(face.microphoneGain());
    }
    if (what == QLatin1String("editor")) {
        const auto* editor = line.widget().findChild<PhoneBookEditDialog*>();
        if (!editor || !editor->isVisible()) {
            return QStringLiteral("closed");
        }
        return QStringLiteral("%1 %2 %3").arg(editor->index()).arg(editor->name(), editor->number());
    }
    if (what == QLatin1String("setup")) {
        return line.window().sideWindows().setupDialog() ? QStringLiteral("open") : QStringLiteral("closed");
    }
    if (what == QLatin1String("about")) {
        return line.window().sideWindows().aboutWindow() ? QStringLiteral("open") : QStringLiteral("closed");
    }
    return QStringLiteral("unknown observation ") + what;
}

// How a widget shows what the test reads from it.
QString shown(WindowLine& line, const QString& control, const QString& how) {
    QWidget& window = line.widget();
    if (how == QLatin1String("lamp")) {
        // A dark picture and a lit one at the same place: exactly one shows.
        auto* dark = line.control(control + QStringLiteral("_0"));
        auto* lit = line.control(control + QStringLiteral("_1"));
        if (!dark || !lit || dark->isVisibleTo(&window) == lit->isVisibleTo(&window)) {
            return QStringLiteral("both or neither");
        }
        return lit->isVisibleTo(&window) ? QStringLiteral("lit") : QStringLiteral("dark");
    }
    if (how == QLatin1String("phone book")) {
        auto* panel = line.control(QStringLiteral("SSPanel7"));
        const QRect area(panel->mapTo(&window, QPoint(0, 0)), panel->size());
        const QRect client = window.rect();
        return client.contains(area)      ? QStringLiteral("shown")
               : !client.intersects(area) ? QStringLiteral("hidden")
                                          : QStringLiteral("partly shown");
    }
    QWidget* widget = line.control(control);
    if (!widget) {
        return QStringLiteral("no control ") + control;
    }
    if (how == QLatin1String("text")) {
        return qobject_cast<QLineEdit*>(widget)->text();
    }
    if (how == QLatin1String("colour")) {
        return qobject_cast<DisplayBox*>(widget)->textColor().name();
    }
    if (how == QLatin1String("caption colour")) {
        return qobject_cast<CommandButton*>(widget)->captionColor().name();
    }
    if (how == QLatin1String("tooltip")) {
        return widget->toolTip();
    }
    if (how == QLatin1String("value")) {
        return QString::number(qobject_cast<QAbstractSlider*>(widget)->value());
    }
    if (how == QLatin1String("down")) {
        return onOff(qobject_cast<QAbstractButton*>(widget)->isChecked());
    }
    return QStringLiteral("unknown reading ") + how;
}

} // namespace

void TestWindow::everyControlForwardsItsAction_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("expected");
    const char* const symbols[12] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "*", "0", "#"};
    for (int i = 0; i < 12; ++i) {
        const QString key = QStringLiteral("cmdNumber_%1").arg(i);
        QTest::newRow(qPrintable(key)) << QStringLiteral("number 55") << key << QByteArray() << QStringLiteral("number")
                                       << QStringLiteral("55") + QLatin1String(symbols[i]);
    }
    struct Row {
        const char *row, *given, *control;
        QByteArray written;
        const char *reading, *expected;
    };
    const QByteArray none;
    const Row rows[] = {
        {"Send", "attached", "cmdSend", "ATA\r", "status", "In Use"},
        {"End", "attached; call; number 5551234", "cmdEnd", "ATH\r" + Init, "number", ""},
        {"Redial", "last dialed 5551234", "cmdRedial", none, "number", "5551234"},
        {"Pause", "number 555", "cmdPause", none, "number", "555,"},
        {"Clear", "number 555", "cmdClear", none, "number", ""},
        {"Hold", "attached; connected call", "cmdHold", "AT#SPK=0,16,,\r", "latched Hold", "on"},
        {"Mute", "attached; connected call", "cmdMute", "AT#SPK=0,,,\r", "latched Mute", "on"},
        {"Flash", "attached; call", "cmdFlash", "AT#VTS=!\r", "status", "In Use"},
        {"Call Fwd", "attached; number 5551234; modem connects", "cmdCallForward", serviceCall("*725551234"), "status",
         "In Use"},
        {"Repeat", "attached; modem connects", "cmdRepeat", serviceCall("*66"), "status", "In Use"},
        {"Last Caller", "attached; modem connects", "cmdLastCall", serviceCall("*69"), "status", "In Use"},
        {"Cancel", "attached; modem connects", "cmdCancelRPT", serviceCall("*73"), "status", "In Use"},
        {"Handset", "attached; connected call", "cmdHandset", "AT#VLS=8\r", "latched Handset",
         "on Back to Speakerphone"},
        {"PB", "", "cmdPB", none, "width", "2865"}, // from the wide window
        {"On/Off", "stored detached", "cmdOnOff", Init, "power lamp", "on"},
        {"<-- Enter", "entry 3 Smith 5551212; selected 3", "cmdPBEnter", none, "number", "5551212"},
        {"Add Caller", "caller 4075551212 SMITH,JOHN", "cmdAddCaller", none, "row 0", "SMITH,JOHN 4075551212"},
        {"Edit", "entry 3 Smith 5551212; selected 3", "cmdPBEdit", none, "editor", "3 Smith 5551212"},
        {"entry button", "", "ribPhoneBook_3", none, "selected", "3"},
        {"Slider1 moved", "attached; connected call", "Slider1", "AT#SPK=,9,,\r", "stored speaker", "9"},
        {"Slider2 clicked", "attached; connected call", "Slider2", "AT#SPK=,,2 \r", "gain", "2"},
        {"Setup menu", "", "modem_setup", none, "setup", "open"},
        {"About menu", "", "mnuAbout", none, "about", "open"},
    };
    for (const Row& r : rows) {
        QTest::newRow(r.row) << QString::fromLatin1(r.given) << QString::fromLatin1(r.control) << r.written
                             << QString::fromLatin1(r.reading) << QString::fromLatin1(r.expected);
    }
}

void TestWindow::everyControlForwardsItsAction() {
    QFETCH(QString, given);
    QFETCH(QString, control);
    QFETCH(QByteArray, written);
    QFETCH(QString, reading);
    QFETCH(QString, expected);
    WindowLine line;
    QVERIFY(prepare(line, given));
    line.clearWritten();
    QWidget& window = line.widget();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    if (auto* action = window.findChild<QAction*>(control)) {
        action->trigger();
    } else if (control == QLatin1String("Slider1")) {
        line.control<QSlider>(control)->setSliderPosition(9); // as a drag leaves it
    } else if (control == QLatin1String("Slider2")) {
        // Where level 2 of 0 to 3 sits: a click there moves the slider one step from 1, or sets
        // it there, as the style has it.
        auto* slider = line.control<QSlider>(control);
        QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier,
                          QPoint(slider->width() * 2 / 3, slider->height() / 2));
    } else {
        auto* button = line.control<QAbstractButton>(control);
        QVERIFY2(button, qPrintable(control));
        button->click();
    }
    QTRY_COMPARE(line.written(), written);
    QCOMPARE(observe(line, reading), expected);
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestWindow::theWindowShowsWhatTheTelephoneHolds_data() {
    QTest::addColumn<FaceChange>("change");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("expected");
    using Color = PhoneFace::TextColor;
    const QString red = QStringLiteral("#ff0000");
    const QString green = QStringLiteral("#00ff00");
    const QString black = QStringLiteral("#000000");
    struct Row {
        const char* row;
        FaceChange change;
        const char *control, *how;
        QString expected;
    };
    const FaceChange asMade = [](PhoneFace&) {};
    RecordingView view;
    const PhoneFace fresh(view);
    const Row rows[] = {
        // A new window shows the telephone's own starting values.
        {"status red at start", asMade, "txtStatus", "colour", red},
        {"name green at start", asMade, "txtName", "colour", green},
        {"power lamp dark at start", asMade, "picPower", "lamp", QStringLiteral("dark")},
        {"in-use lamp dark at start", asMade, "picInuse", "lamp", QStringLiteral("dark")},
        {"speaker level at start", asMade, "Slider1", "value", QString::number(fresh.speakerLevel())},
        {"microphone gain at start", asMade, "Slider2", "value", QString::number(fresh.microphoneGain())},
        {"caller's name", [](PhoneFace& f) { f.setText(Box::Name, QStringLiteral("JOHN SMITH")); }, "txtName", "text",
         QStringLiteral("JOHN SMITH")},
        {"caller's number", [](PhoneFace& f) { f.setText(Box::NumberIn, QStringLiteral("555-1212")); }, "txtNumberIn",
         "text", QStringLiteral("555-1212")},
        {"status", [](PhoneFace& f) { f.setText(Box::Status, QStringLiteral("HOLD")); }, "txtStatus", "text",
         QStringLiteral("HOLD")},
        {"number to dial", [](PhoneFace& f) { f.setText(Box::NumberOut, QStringLiteral("5551234")); }, "txtNumberOut",
         "text", QStringLiteral("5551234")},
        {"name in red", [](PhoneFace& f) { f.setTextColor(Box::Name, Color::Red); }, "txtName", "colour", red},
        {"number green again",
         [](PhoneFace& f) {
             f.setTextColor(Box::NumberIn, Color::Red);
             f.setTextColor(Box::NumberIn, Color::Green);
         },
         "txtNumberIn", "colour", green},
        {"status in green", [](PhoneFace& f) { f.setTextColor(Box::Status, Color::Green); }, "txtStatus", "colour",
         green},
        {"power lamp lit", [](PhoneFace& f) { f.setLit(Light::Power, true); }, "picPower", "lamp",
         QStringLiteral("lit")},
        {"power lamp dark again",
         [](PhoneFace& f) {
             f.setLit(Light::Power, true);
             f.setLit(Light::Power, false);
         },
         "picPower", "lamp", QStringLiteral("dark")},
        {"in-use lamp lit", [](PhoneFace& f) { f.setLit(Light::InUse, true); }, "picInuse", "lamp",
         QStringLiteral("lit")},
        {"Hold latched", [](PhoneFace& f) { f.setLatched(Latch::Hold, true); }, "cmdHold", "caption colour", red},
        {"Mute latched", [](PhoneFace& f) { f.setLatched(Latch::Mute, true); }, "cmdMute", "caption colour", red},
        {"Handset released",
         [](PhoneFace& f) {
             f.setLatched(Latch::Handset, true);
             f.setLatched(Latch::Handset, false);
         },
         "cmdHandset", "caption colour", black},
        {"Handset's tooltip", [](PhoneFace& f) { f.setLatched(Latch::Handset, true); }, "cmdHandset", "tooltip",
         QStringLiteral("Back to Speakerphone")},
        {"speaker level", [](PhoneFace& f) { f.setSpeakerLevel(9); }, "Slider1", "value", QStringLiteral("9")},
        {"microphone gain", [](PhoneFace& f) { f.setMicrophoneGain(3); }, "Slider2", "value", QStringLiteral("3")},
        {"narrow", [](PhoneFace& f) { f.setWidthTwips(PhoneFace::NarrowWidth); }, "", "phone book",
         QStringLiteral("hidden")},
        {"wide",
         [](PhoneFace& f) {
             f.setWidthTwips(PhoneFace::NarrowWidth);
             f.setWidthTwips(PhoneFace::WideWidth);
         },
         "", "phone book", QStringLiteral("shown")},
        {"phone-book row", [](PhoneFace& f) { f.setPhoneBookRow(4, QStringLiteral("Smith 5551212")); },
         "txtPhoneBook_4", "text", QStringLiteral("Smith 5551212")},
        {"entry button down", [](PhoneFace& f) { f.setPhoneBookButton(3, true); }, "ribPhoneBook_3", "down",
         QStringLiteral("on")},
        {"entry button up again",
         [](PhoneFace& f) {
             f.setPhoneBookButton(3, true);
             f.setPhoneBookButton(3, false);
         },
         "ribPhoneBook_3", "down", QStringLiteral("off")},
    };
    for (const Row& r : rows) {
        QTest::newRow(r.row) << r.change << QString::fromLatin1(r.control) << QString::fromLatin1(r.how) << r.expected;
    }
}

void TestWindow::theWindowShowsWhatTheTelephoneHolds() {
    QFETCH(FaceChange, change);
    QFETCH(QString, control);
    QFETCH(QString, how);
    QFETCH(QString, expected);
    WindowLine line;
    QWidget& window = line.widget();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    change(line.phone().face());
    QCOMPARE(shown(line, control, how), expected);
}

void TestWindow::everyControlCarriesItsDesignName() {
    WindowLine line;
    QStringList names = {
        QStringLiteral("txtName"),        QStringLiteral("txtNumberIn"), QStringLiteral("txtStatus"),
        QStringLiteral("txtNumberOut"),   QStringLiteral("cmdSend"),     QStringLiteral("cmdEnd"),
        QStringLiteral("cmdRedial"),      QStringLiteral("cmdPause"),    QStringLiteral("cmdMute"),
        QStringLiteral("cmdHold"),        QStringLiteral("cmdFlash"),    QStringLiteral("cmdClear"),
        QStringLiteral("cmdCallForward"), QStringLiteral("cmdLastCall"), QStringLiteral("cmdRepeat"),
        QStringLiteral("cmdCancelRPT"),   QStringLiteral("cmdHandset"),  QStringLiteral("cmdPB"),
        QStringLiteral("cmdOnOff"),       QStringLiteral("Slider1"),     QStringLiteral("Slider2"),
        QStringLiteral("Label2"),         QStringLiteral("cmdPBEnter"),  QStringLiteral("cmdAddCaller"),
        QStringLiteral("cmdPBEdit"),
    };
    for (int i = 1; i <= 8; ++i) {
        names << QStringLiteral("SSPanel%1").arg(i);
    }
    for (const char* array : {"Label1", "picPower", "picInuse", "Line1"}) {
        for (int i = 0; i < 2; ++i) {
            names << QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(i);
        }
    }
    for (const char* array : {"cmdNumber", "ribPhoneBook", "txtPhoneBook"}) {
        for (int i = 0; i < 12; ++i) {
            names << QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(i);
        }
    }
    for (const QString& name : std::as_const(names)) {
        QVERIFY2(line.control(name), qPrintable(name));
        QCOMPARE(line.widget().findChildren<QWidget*>(name).size(), 1);
    }
    QVERIFY(line.control<QMenu>(QStringLiteral("mnuHelp")));
    for (const char* action : {"modem_setup", "mnuAbout"}) {
        QVERIFY2(line.widget().findChild<QAction*>(QLatin1String(action)), action);
    }
}

void TestWindow::menus() {
    WindowLine line;
    QWidget& window = line.widget();
    auto* setup = window.findChild<QAction*>(QStringLiteral("modem_setup"));
    auto* about = window.findChild<QAction*>(QStringLiteral("mnuAbout"));
    auto* help = line.control<QMenu>(QStringLiteral("mnuHelp"));
    QVERIFY(setup && about && help);
    QCOMPARE(setup->text(), QStringLiteral("Setup"));
    QCOMPARE(help->title(), QStringLiteral("Help"));
    QCOMPARE(about->text(), QStringLiteral("About"));
    QVERIFY(help->actions().contains(about));
    QVERIFY(!help->actions().contains(setup)); // Setup sits on the menu bar itself
    QVERIFY(setup->shortcut().isEmpty() && about->shortcut().isEmpty());
    QCOMPARE(window.windowTitle(), QStringLiteral("Brisvane"));
}

void TestWindow::theWindowCannotBeResized() {
    WindowLine line;
    QWidget& window = line.widget();
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    for (const int width : {PhoneFace::NarrowWidth, PhoneFace::WideWidth}) {
        line.phone().face().setWidthTwips(width);
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.size(), window.minimumSize());
    }
}

void TestWindow::sendIsTheDefaultButton() {
    WindowLine line;
    const QList<QPushButton*> buttons = line.widget().findChildren<QPushButton*>();
    QVERIFY(!buttons.isEmpty());
    for (QPushButton* button : buttons) {
        QCOMPARE(button->isDefault(), button->objectName() == QLatin1String("cmdSend"));
    }
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
