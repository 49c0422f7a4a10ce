// The face of the main window: every control with its design geometry (twips), caption,
// tooltip, font and colours. Behaviour is wired elsewhere.

#include "console/MessageBoxes.h"
#include "console/PhoneFace.h"
#include "console/frmPhone.h"
#include "platform/Controls.h"
#include "platform/DesignColors.h"
#include "platform/Fonts.h"
#include "platform/Placement.h"
#include "platform/Twips.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

namespace {

using Placement::indexed;
using Placement::place;

using namespace DesignColors;

QFont sansSerif() {
    return Fonts::design(QStringLiteral("MS Sans Serif"), 8.25);
}

DisplayBox* displayBox(QWidget* parent, const char* name, const QRect& twips, const QColor& color, const QFont& font) {
    auto* box = place(new DisplayBox(parent), QLatin1String(name), twips.x(), twips.y(), twips.width(), twips.height());
    box->setBackgroundColor(DisplayBackground);
    box->setTextColor(color);
    box->setFont(font);
    return box;
}

CommandButton* button(QWidget* parent, const char* name, int left, int top, int width, int height,
                      const QString& caption, const QString& tooltip, const QColor& color) {
    auto* b = place(new CommandButton(caption, parent), QLatin1String(name), left, top, width, height);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    b->setFont(sansSerif());
    b->setCaptionColor(color);
    if (!tooltip.isEmpty()) {
        b->setToolTip(tooltip);
    }
    return b;
}

} // namespace

void frmPhone::buildFace() {
    setObjectName(QStringLiteral("frmPhone"));
    setWindowTitle(ApplicationTitle);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(sansSerif());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(Twips::toPixels(DesignClientWidth), Twips::toPixels(DesignClientHeight));
    setCentralWidget(client);

    // The etched rule under the menu bar.
    for (int i = 0; i < 2; ++i) {
        Line1[i] = place(new QFrame(client), indexed("Line1", i), 30, i == 0 ? 0 : 15, 7200 - 30, 15);
        Line1[i]->setFixedHeight(1);
        Placement::fill(Line1[i], i == 0 ? QColor(128, 128, 128) : QColor(255, 255, 255));
    }

    // Display panel.
    SSPanel1 = place(new Panel3D(client), QStringLiteral("SSPanel1"), 210, 90, 2355, 1125);
    SSPanel1->setAccessibleName(QStringLiteral("Display"));
    const QFont comic = Fonts::design(QStringLiteral("Comic Sans MS"), 9.75, QFont::Bold);
    txtName = displayBox(SSPanel1, "txtName", {90, 90, 2145, 285}, Green, comic);
    txtNumberIn = displayBox(SSPanel1, "txtNumberIn", {90, 360, 1275, 285}, Green, comic);
    txtStatus = displayBox(SSPanel1, "txtStatus", {1350, 360, 885, 285}, Red,
                           Fonts::design(QStringLiteral("Century Gothic"), 11.25, QFont::DemiBold));
    txtNumberOut = displayBox(SSPanel1, "txtNumberOut", {90, 630, 2145, 405}, Green,
                              Fonts::design(QStringLiteral("Comic Sans MS"), 12, QFont::Bold));
    // A screen reader reads each box's text as its value.
    txtName->setAccessibleName(QStringLiteral("Caller name"));
    txtNumberIn->setAccessibleName(QStringLiteral("Caller number"));
    txtStatus->setAccessibleName(QStringLiteral("Call status"));
    txtNumberOut->setAccessibleName(QStringLiteral("Number to dial"));

    // Indicator panel: each lamp is a dark picture (index 0, shown) and a lit one (index 1, hidden).
    SSPanel4 = place(new Panel3D(client), QStringLiteral("SSPanel4"), 210, 1290, 2355, 495);
    SSPanel4->setAccessibleName(QStringLiteral("Lamps"));
    Label1[0] = place(new QLabel(QStringLiteral("Pwr"), SSPanel4), indexed("Label1", 0), 135, 135, 345, 165);
    Label1[1] = place(new QLabel(QStringLiteral("In Use"), SSPanel4), indexed("Label1", 1), 1140, 150, 495, 165);
    const QString powerTip = QStringLiteral("Attached to Modem when lit");
    const QString inUseTip = QStringLiteral("Call in Process when Lit");
    picPower[0] = place(new Lamp(false, Green, SSPanel4), indexed("picPower", 0), 435, 60, 420, 375);
    picPower[1] = place(new Lamp(true, Green, SSPanel4), indexed("picPower", 1), 435, 30, 420, 405);
    picInuse[0] = place(new Lamp(false, Red, SSPanel4), indexed("picInuse", 0), 1650, 60, 420, 375);
    picInuse[1] = place(new Lamp(true, Red, SSPanel4), indexed("picInuse", 1), 1665, 75, 390, 345);
    for (int i = 0; i < 2; ++i) {
        picPower[i]->setToolTip(powerTip);
        picInuse[i]->setToolTip(inUseTip);
        picPower[i]->setAccessibleName(QStringLiteral("Attached to the modem"));
        picInuse[i]->setAccessibleName(QStringLiteral("Call in progress"));
    }
    showLight(Light::Power, false);
    showLight(Light::InUse, false);

    // Keypad: index = digit - 1 for 1 to 9, then star, 0 and #.
    SSPanel2 = place(new Panel3D(client), QStringLiteral("SSPanel2"), 180, 1830, 2400, 1620);
    SSPanel2->setAccessibleName(QStringLiteral("Keypad"));
    static const char* const keyCaptions[12] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "*", "0", "#"};
    static const char* const keyNames[12] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "star", "0", "pound"};
    for (int i = 0; i < 12; ++i) {
        const int left = 90 + (i % 3) * 735;
        const int top = 90 + (i / 3) * 360;
        const QString caption = i == 9 ? QStringLiteral("\u2605") : QLatin1String(keyCaptions[i]);
        cmdNumber[i] = button(SSPanel2, "", left, top, 735, 360, caption, QString(), Blue);
        cmdNumber[i]->setObjectName(indexed("cmdNumber", i));
        cmdNumber[i]->setAccessibleName(QStringLiteral("Key ") + QLatin1String(keyNames[i]));
    }
    cmdNumber[9]->setFont(Fonts::design(QStringLiteral("Monotype Sorts"), 12));
    cmdNumber[11]->setToolTip(QStringLiteral("You can use the '/' key on the keypad"));

    // Function buttons, five rows of three.
    SSPanel3 = place(new Panel3D(client), QStringLiteral("SSPanel3"), 180, 3480, 2400, 1980);
    SSPanel3->setAccessibleName(QStringLiteral("Function buttons"));
    struct Function {
        CommandButton** target;
        const char* name;
        const char* caption;
        const char* tooltip;
        QColor color;
    };
    const Function functions[15] = {
        {&cmdSend, "cmdSend", "&Send", "Place or Answer a Call", DarkGreen},
        {&cmdEnd, "cmdEnd", "&End", "End a Call", Red},
        {&cmdRedial, "cmdRedial", "&Redial", "Display Last Number Dialed", Black},
        {&cmdPause, "cmdPause", "&Pause", "Pause between Numbers", Black},
        {&cmdMute, "cmdMute", "&Mute", "Mute Microphone", Black},
        {&cmdHold, "cmdHold", "&Hold", "Place Call on Hold", Black},
        {&cmdFlash, "cmdFlash", "&Flash", "Call Waiting", Black},
        {&cmdClear, "cmdClear", "&Clear", "Clear Display", Black},
        {&cmdCallForward, "cmdCallForward", "Call Fwd", "Activate Call Forwarding", Black},
        {&cmdLastCall, "cmdLastCall", "Last Caller", "Last Caller Redial", Black},
        {&cmdRepeat, "cmdRepeat", "Repeat", "Repeat Last Call", Black},
        {&cmdCancelRPT, "cmdCancelRPT", "Cancel", "Cancel Call Managment Features", Black},
        {&cmdHandset, "cmdHandset", "Handset", "Pick Up Handset", Black},
        {&cmdPB, "cmdPB", "PB", "Show Phone Book", Black},
        {&cmdOnOff, "cmdOnOff", "On/Off", "Attach or Detach from Modem", Black},
    };
    for (int i = 0; i < 15; ++i) {
        const Function& f = functions[i];
        *f.target = button(SSPanel3, f.name, 90 + (i % 3) * 735, std::array{90, 435, 795, 1155, 1515}[i / 3], 735, 360,
                           QLatin1String(f.caption), QLatin1String(f.tooltip), f.color);
    }
    cmdLastCall->setFont(Fonts::design(QStringLiteral("Small Fonts"), 6.75));
    cmdSend->setDefault(true);
    for (Latch latch : {Latch::Hold, Latch::Mute, Latch::Handset}) {
        showLatched(latch, false);
    }

    // Sliders and their caption strips: "+" over the low end, "-" over the high end.
    SSPanel5 = place(new Panel3D(client, QStringLiteral("+        Speaker Volume         -")),
                     QStringLiteral("SSPanel5"), 360, 5520, 2145, 195);
    Slider1 = place(new Slider(client), QStringLiteral("Slider1"), 210, 5730, 2415, 285);
    Slider1->setRange(0, PhoneFace::MaxSpeakerLevel);
    Slider1->setValue(5);
    Slider1->setToolTip(QStringLiteral("Adjust Speaker Volume"));
    SSPanel6 = place(new Panel3D(client, QStringLiteral("+    Mic Gain   -")), QStringLiteral("SSPanel6"), 750, 6000,
                     1155, 195);
    Slider2 = place(new Slider(client), QStringLiteral("Slider2"), 690, 6210, 1305, 195);
    Slider2->setRange(0, PhoneFace::MaxMicrophoneGain);
    Slider2->setValue(1);
    Slider2->setToolTip(QStringLiteral("Adjust Mic Gain"));
    Slider1->setAccessibleName(QStringLiteral("Speaker volume"));
    Slider2->setAccessibleName(QStringLiteral("Microphone gain"));
    for (Slider* s : {Slider1, Slider2}) {
        s->setTickPosition(QSlider::NoTicks);
        s->setPageStep(1);
        // The caption strip's "+" and "-" are only painted; a screen reader is told what they mark.
        s->setAccessibleDescription(
            QStringLiteral("%1, from + at %2 to - at %3").arg(s->toolTip()).arg(s->minimum()).arg(s->maximum()));
    }

    // Phone-book panel, shown when the window is at its full width.
    SSPanel7 = place(new Panel3D(client), QStringLiteral("SSPanel7"), 2790, 90, 4275, 6270);
    SSPanel7->setAccessibleName(QStringLiteral("Phone book"));
    Label2 = place(new QLabel(QStringLiteral("Phone Book"), SSPanel7), QStringLiteral("Label2"), 120, 105, 4020, 570);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(Fonts::design(QStringLiteral("Benguiat Frisky ATT"), 26.25));
    cmdPBEnter = button(SSPanel7, "cmdPBEnter", 165, 735, 1155, 435, QStringLiteral("<-- Enter"), QString(), Blue);
    cmdPBEnter->setAccessibleName(QStringLiteral("Enter")); // the arrow only points at the display
    cmdAddCaller = button(SSPanel7, "cmdAddCaller", 1530, 735, 1155, 435, QStringLiteral("Add Caller"),
                          QStringLiteral("Adds Caller to the Phone Book"), Blue);
    cmdPBEdit = button(SSPanel7, "cmdPBEdit", 2895, 735, 1155, 435, QStringLiteral("Edit"), QString(), Blue);
    SSPanel8 = place(new Panel3D(SSPanel7), QStringLiteral("SSPanel8"), 135, 1215, 4020, 4935);
    SSPanel8->setAccessibleName(QStringLiteral("Phone-book entries"));
    static const int ribbonTops[12] = {435, 795, 1155, 1515, 1890, 2250, 2595, 2955, 3300, 3660, 4035, 4395};
    static const int entryTops[12] = {435, 795, 1155, 1515, 1875, 2235, 2580, 2940, 3300, 3660, 4035, 4410};
    for (int i = 0; i < 12; ++i) {
        ribPhoneBook[i] =
            place(new RibbonButton(i, SSPanel8), indexed("ribPhoneBook", i), 195, ribbonTops[i], 360, 300);
        auto* entry = place(new QLineEdit(SSPanel8), indexed("txtPhoneBook", i), 780, entryTops[i], 3150, 315);
        entry->setReadOnly(true);
        entry->setFocusPolicy(Qt::NoFocus);
        QPalette p = entry->palette();
        p.setColor(QPalette::Base, PanelGrey);
        entry->setPalette(p);
        txtPhoneBook[i] = entry;
        showPhoneBookButton(i, false);
    }

    // Menu bar: "Setup", and "Help" with "About". No shortcut keys.
    modem_setup = menuBar()->addAction(QStringLiteral("Setup"));
    modem_setup->setObjectName(QStringLiteral("modem_setup"));
    mnuCalls = menuBar()->addAction(QStringLiteral("Calls"));
    mnuCalls->setObjectName(QStringLiteral("mnuCalls"));
    mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
}
