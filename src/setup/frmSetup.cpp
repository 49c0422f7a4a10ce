#include "setup/frmSetup.h"

#include "console/SettingKeys.h"
#include "platform/Controls.h"
#include "platform/DesignColors.h"
#include "platform/Fonts.h"
#include "platform/Placement.h"
#include "platform/Twips.h"
#include "setup/SerialDevices.h"
#include "setup/TopCaptionPanel.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

using Placement::indexed;
using Placement::place;

QCheckBox* checkBox(QWidget* parent, const char* name, int left, int top, int width, const char* caption) {
    return place(new QCheckBox(QLatin1String(caption), parent), QLatin1String(name), left, top, width, 195);
}

// The design's widths were measured for its own font; the fonts that stand in for it here run
// wider, so a caption that would be cut off widens its control to the right (its place is kept).
void widenToFit(QWidget* widget, int textWidth) {
    if (widget->width() < textWidth) {
        widget->resize(textWidth, widget->height());
    }
}

void widenToFit(QAbstractButton* button) {
    widenToFit(button, button->sizeHint().width());
}

void widenToFit(Panel3D* panel) {
    widenToFit(panel, panel->fontMetrics().horizontalAdvance(panel->caption()) + 2 * panel->frameWidth() + 6);
}

} // namespace

frmSetup::frmSetup(QWidget& mainWindow, Services& services, QWidget* parent)
    : QDialog(parent)
    , m_mainWindow(mainWindow)
    , m_logic(services) {
    buildFace();
    showChoices(m_logic.Form_Load());
}

void frmSetup::buildFace() {
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Modem Setup"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(Fonts::design(QStringLiteral("MS Sans Serif"), 8.25));
    Placement::fill(this, DesignColors::PanelGrey);
    setFixedSize(Twips::toPixels(DesignClientWidth),
                 Twips::toPixels(DesignClientHeight + DevicesHeight + CommandSetHeight));

    SSFrame1 = place(new QGroupBox(QStringLiteral("Modem"), this), QStringLiteral("SSFrame1"), 60, 30, 5265, 4065);
    Placement::fill(SSFrame1, DesignColors::PanelGrey);

    SSPanel1[0] = place(new Panel3D(SSFrame1, QStringLiteral("Initialization String")), indexed("SSPanel1", 0), 150,
                        330, 1305, 195);
    txtModem = place(new QLineEdit(SSFrame1), QStringLiteral("txtModem"), 180, 570, 4755, 315);
    txtModem->setToolTip(QStringLiteral("Pleas Include the AT Prefix"));
    // The captions over the two strings are painted panels, not labels a screen reader could link.
    txtModem->setAccessibleName(QStringLiteral("Initialization string"));

    SSPanel2 = place(new TopCaptionPanel(SSFrame1, QStringLiteral("Comm Port")), QStringLiteral("SSPanel2"), 180, 1050,
                     1275, 1485);
    static const int optionTops[4] = {330, 600, 840, 1080};
    for (int i = 0; i < 4; ++i) {
        optPort[i] = place(new QRadioButton(QStringLiteral("Comm %1").arg(i + 1), SSPanel2), indexed("optPort", i), 180,
                           optionTops[i], 1005, 195);
        connect(optPort[i], &QRadioButton::clicked, this, [this, i] { m_logic.optPort_Click(i); });
    }

    chkAuto = checkBox(SSFrame1, "chkAuto", 1740, 1110, 2325, "Activate Phone at Startup");
    chkCallerID = checkBox(SSFrame1, "chkCallerID", 1740, 1440, 975, "Caller ID");
    SSPanel1[1] = place(new Panel3D(SSFrame1, QStringLiteral("Caller ID Initialization String")),
                        indexed("SSPanel1", 1), 1680, 1770, 2025, 195);
    txtCallerIDstring = place(new QLineEdit(SSFrame1), QStringLiteral("txtCallerIDstring"), 1710, 2010, 3255, 315);
    txtCallerIDstring->setToolTip(QStringLiteral("Please Do Not Include the AT Prefix"));
    txtCallerIDstring->setAccessibleName(QStringLiteral("Caller ID initialization string"));
    chkAutoAns = checkBox(SSFrame1, "chkAutoAns", 180, 2640, 2115, "Auto Answer after 2 rings");
    chkDiscid = checkBox(SSFrame1, "chkDiscid", 180, 2910, 2865, "Disable Caller ID when Placing Call");
    chkDisCW = checkBox(SSFrame1, "chkDisCW", 180, 3180, 3045, "Disable Call Waiting when Placing Call");
    connect(chkAuto, &QCheckBox::clicked, this, [this](bool on) { m_logic.chkAuto_Click(on); });
    connect(chkCallerID, &QCheckBox::clicked, this, [this](bool on) { m_logic.chkCallerID_Click(on); });
    connect(chkAutoAns, &QCheckBox::clicked, this, [this](bool on) { m_logic.chkAutoAns_Click(on); });
    connect(chkDiscid, &QCheckBox::clicked, this, [this](bool on) { m_logic.chkDiscid_Click(on); });
    connect(chkDisCW, &QCheckBox::clicked, this, [this](bool on) { m_logic.chkDisCW_Click(on); });

    cmdExit =
        place(new CommandButton(QStringLiteral("Exit"), SSFrame1), QStringLiteral("cmdExit"), 1500, 3600, 1065, 375);
    cmdCancel = place(new CommandButton(QStringLiteral("Cancel"), SSFrame1), QStringLiteral("cmdCancel"), 2760, 3600,
                      1065, 375);
    connect(cmdExit, &QPushButton::clicked, this, &frmSetup::cmdExit_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetup::cmdCancel_Click);

    // Below the design's frame: the device each port number stands for.
    fraDevices = place(new QGroupBox(QStringLiteral("Serial Devices"), this), QStringLiteral("fraDevices"), 60, 4170,
                       5265, DevicesHeight - 150);
    Placement::fill(fraDevices, DesignColors::PanelGrey);
    for (int i = 0; i < 4; ++i) {
        const int top = 330 + i * 360;
        lblDevice[i] =
            place(new QLabel(optPort[i]->text(), fraDevices), indexed("lblDevice", i), 180, top + 60, 780, 195);
        auto* box = place(new QComboBox(fraDevices), indexed("cboDevice", i), 1020, top, 4095, 315);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);
        box->setToolTip(QStringLiteral("The Device of Comm %1: Choose One or Type Its Path").arg(i + 1));
        lblDevice[i]->setBuddy(box);
        // The label names the box to a screen reader; the box's own name is its text, so its
        // edit line carries the name for a reader that lands on it.
        box->setAccessibleName(QStringLiteral("Device of Comm %1").arg(i + 1));
        box->lineEdit()->setAccessibleName(box->accessibleName());
        // The list shows what each device is; the box keeps only the path.
        connect(box, &QComboBox::activated, box, [box](int item) { box->setEditText(box->itemData(item).toString()); });
        cboDevice[i] = box;
    }
    buildCommandSet();

    widenToFit(SSPanel1[0]);
    widenToFit(SSPanel1[1]);
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{chkAuto, chkCallerID, chkAutoAns, chkDiscid, chkDisCW}) {
        widenToFit(button);
    }

    QWidget* order[] = {txtModem,     optPort[0],   optPort[1],        optPort[2],        optPort[3],
                        chkAuto,      chkCallerID,  txtCallerIDstring, chkAutoAns,        cmdExit,
                        chkDiscid,    cmdCancel,    chkDisCW,          cboDevice[0],      cboDevice[1],
                        cboDevice[2], cboDevice[3], cboCommandSet,     optTalkThrough[0], optTalkThrough[1]};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

// Below the devices: the command set. The two strings above belong to the set chosen here.
void frmSetup::buildCommandSet() {
    fraCommandSet = place(new QGroupBox(QStringLiteral("Voice Commands"), this), QStringLiteral("fraCommandSet"), 60,
                          DesignClientHeight + DevicesHeight - 195, 5265, CommandSetHeight - 75);
    Placement::fill(fraCommandSet, DesignColors::PanelGrey);
    lblCommandSet = place(new QLabel(QStringLiteral("Command Set:"), fraCommandSet), QStringLiteral("lblCommandSet"),
                          180, 390, 1275, 195);
    cboCommandSet = place(new QComboBox(fraCommandSet), QStringLiteral("cboCommandSet"), 1500, 330, 1695, 315);
    cboCommandSet->addItems(Settings::choicesOf(Settings::CommandSet));
    cboCommandSet->setToolTip(QStringLiteral("The Modem's Voice Commands: Detect Asks the Modem at Each Attach"));
    cboCommandSet->setAccessibleName(QStringLiteral("Command set"));
    lblCommandSet->setBuddy(cboCommandSet);
    connect(cboCommandSet, &QComboBox::activated, this,
            [this](int item) { showCommandSet(m_logic.cboCommandSet_Click(cboCommandSet->itemText(item), shown())); });
    lblFound = place(new QLabel(fraCommandSet), QStringLiteral("lblFound"), 1500, 705, 3615, 420);
    lblFound->setWordWrap(true);
    lblFound->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Only the V.253 set offers a choice of how to talk.
    fraTalkThrough = place(new QWidget(fraCommandSet), QStringLiteral("fraTalkThrough"), 0, 1230, 5265, 540);
    lblTalkThrough = place(new QLabel(QStringLiteral("Talk through:"), fraTalkThrough),
                           QStringLiteral("lblTalkThrough"), 180, 30, 1275, 195);
    static const char* const ways[2] = {"the modem's speakerphone", "a telephone on the same line"};
    for (int i = 0; i < 2; ++i) {
        optTalkThrough[i] = place(new QRadioButton(QLatin1String(ways[i]), fraTalkThrough),
                                  indexed("optTalkThrough", i), 1500, 30 + i * 270, 3615, 195);
        optTalkThrough[i]->setAccessibleName(QStringLiteral("Talk through ") + QLatin1String(ways[i]));
    }
}

void frmSetup::showChoices(const SetupChoices& choices) {
    if (choices.port >= 1 && choices.port <= 4) {
        optPort[static_cast<std::size_t>(choices.port - 1)]->setChecked(true);
    }
    // A stored word that is no choice stays in view, selecting none.
    cboCommandSet->setCurrentIndex(cboCommandSet->findText(choices.commandSet));
    cboCommandSet->setPlaceholderText(choices.commandSet);
    lblFound->setText(choices.found);
    optTalkThrough[0]->setChecked(choices.talkThrough == Settings::Speakerphone);
    optTalkThrough[1]->setChecked(choices.talkThrough == Settings::Telephone);
    optTalkThrough[0]->setEnabled(choices.speakerphoneListed);
    if (!choices.speakerphoneListed) {
        optTalkThrough[0]->setToolTip(
            QStringLiteral("The modem lists no speakerphone (a selection with microphone, speaker and line)"));
    }
    showCommandSet(choices);
    chkCallerID->setChecked(choices.callerId);
    chkAuto->setChecked(choices.autoOn);
    chkAutoAns->setChecked(choices.autoAns);
    chkDiscid->setChecked(choices.disCid);
    chkDisCW->setChecked(choices.disCw);
    const QList<SerialDevices::Choice> devices = SerialDevices::choices(SerialDevices::present());
    for (std::size_t i = 0; i < cboDevice.size(); ++i) {
        QComboBox* box = cboDevice[i];
        box->clear();
        for (const SerialDevices::Choice& device : devices) {
            box->addItem(device.label, device.path);
        }
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 8);
        box->setEditText(choices.devices[i]);
    }
}

SetupChoices frmSetup::shown() const {
    SetupChoices choices;
    const auto chosen = std::find_if(optPort.begin(), optPort.end(), [](QRadioButton* o) { return o->isChecked(); });
    choices.port = chosen == optPort.end() ? 0 : static_cast<int>(chosen - optPort.begin()) + 1;
    choices.intString = txtModem->text();
    choices.callerIdString = txtCallerIDstring->text();
    choices.autoOn = chkAuto->isChecked();
    choices.callerId = chkCallerID->isChecked();
    choices.autoAns = chkAutoAns->isChecked();
    choices.disCid = chkDiscid->isChecked();
    choices.disCw = chkDisCW->isChecked();
    for (std::size_t i = 0; i < cboDevice.size(); ++i) {
        choices.devices[i] = cboDevice[i]->currentText();
    }
    choices.commandSet = cboCommandSet->currentIndex() < 0 ? QString() : cboCommandSet->currentText();
    if (optTalkThrough[0]->isChecked()) {
        choices.talkThrough = Settings::Speakerphone;
    } else if (optTalkThrough[1]->isChecked()) {
        choices.talkThrough = Settings::Telephone;
    }
    return choices;
}

void frmSetup::showCommandSet(const SetupChoices& choices) {
    txtModem->setText(choices.intString);
    txtCallerIDstring->setText(choices.callerIdString);
    fraTalkThrough->setEnabled(choices.talkThroughApplies);
}

void frmSetup::cmdExit_Click() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_logic.cmdExit_Click(shown());
    showMainWindow();
    QGuiApplication::restoreOverrideCursor();
    unload();
}

void frmSetup::cmdCancel_Click() {
    m_logic.cmdCancel_Click();
    showMainWindow();
    unload();
}

void frmSetup::reject() {
    cmdCancel_Click();
}

void frmSetup::closeEvent(QCloseEvent* event) {
    if (!m_unloading) {
        // The close box: Cancel, less the unload that this close already is.
        m_unloading = true;
        cmdCancel_Click();
    }
    event->accept();
}

void frmSetup::showMainWindow() {
    m_mainWindow.show();
    m_mainWindow.raise();
    m_mainWindow.activateWindow();
}

void frmSetup::unload() {
    if (!m_unloading) {
        m_unloading = true;
        close();
    }
}
