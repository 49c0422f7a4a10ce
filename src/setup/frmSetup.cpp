#include "setup/frmSetup.h"

#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "console/frmPhone.h"
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

frmSetup::frmSetup(frmPhone& form, Services& services, QWidget* parent)
    : QDialog(parent)
    , m_form(form)
    , m_services(services) {
    buildFace();
    Form_Load();
}

void frmSetup::buildFace() {
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Modem Setup"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(Fonts::design(QStringLiteral("MS Sans Serif"), 8.25));
    Placement::fill(this, DesignColors::PanelGrey);
    setFixedSize(Twips::toPixels(DesignClientWidth), Twips::toPixels(DesignClientHeight + DevicesHeight));

    SSFrame1 = place(new QGroupBox(QStringLiteral("Modem"), this), QStringLiteral("SSFrame1"), 60, 30, 5265, 4065);
    Placement::fill(SSFrame1, DesignColors::PanelGrey);

    SSPanel1[0] = place(new Panel3D(SSFrame1, QStringLiteral("Initialization String")), indexed("SSPanel1", 0), 150,
                        330, 1305, 195);
    txtModem = place(new QLineEdit(SSFrame1), QStringLiteral("txtModem"), 180, 570, 4755, 315);
    txtModem->setToolTip(QStringLiteral("Pleas Include the AT Prefix"));

    SSPanel2 = place(new TopCaptionPanel(SSFrame1, QStringLiteral("Comm Port")), QStringLiteral("SSPanel2"), 180, 1050,
                     1275, 1485);
    static const int optionTops[4] = {330, 600, 840, 1080};
    for (int i = 0; i < 4; ++i) {
        optPort[i] = place(new QRadioButton(QStringLiteral("Comm %1").arg(i + 1), SSPanel2), indexed("optPort", i), 180,
                           optionTops[i], 1005, 195);
        connect(optPort[i], &QRadioButton::clicked, this, [this, i] { optPort_Click(i); });
    }

    chkAuto = checkBox(SSFrame1, "chkAuto", 1740, 1110, 2325, "Activate Phone at Startup");
    chkCallerID = checkBox(SSFrame1, "chkCallerID", 1740, 1440, 975, "Caller ID");
    SSPanel1[1] = place(new Panel3D(SSFrame1, QStringLiteral("Caller ID Initialization String")),
                        indexed("SSPanel1", 1), 1680, 1770, 2025, 195);
    txtCallerIDstring = place(new QLineEdit(SSFrame1), QStringLiteral("txtCallerIDstring"), 1710, 2010, 3255, 315);
    txtCallerIDstring->setToolTip(QStringLiteral("Please Do Not Include the AT Prefix"));
    chkAutoAns = checkBox(SSFrame1, "chkAutoAns", 180, 2640, 2115, "Auto Answer after 2 rings");
    chkDiscid = checkBox(SSFrame1, "chkDiscid", 180, 2910, 2865, "Disable Caller ID when Placing Call");
    chkDisCW = checkBox(SSFrame1, "chkDisCW", 180, 3180, 3045, "Disable Call Waiting when Placing Call");
    connect(chkAuto, &QCheckBox::clicked, this, &frmSetup::chkAuto_Click);
    connect(chkCallerID, &QCheckBox::clicked, this, &frmSetup::chkCallerID_Click);
    connect(chkAutoAns, &QCheckBox::clicked, this, &frmSetup::chkAutoAns_Click);
    connect(chkDiscid, &QCheckBox::clicked, this, &frmSetup::chkDiscid_Click);
    connect(chkDisCW, &QCheckBox::clicked, this, &frmSetup::chkDisCW_Click);

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
        // The list shows what each device is; the box keeps only the path.
        connect(box, &QComboBox::activated, box, [box](int item) { box->setEditText(box->itemData(item).toString()); });
        cboDevice[i] = box;
    }

    widenToFit(SSPanel1[0]);
    widenToFit(SSPanel1[1]);
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{chkAuto, chkCallerID, chkAutoAns, chkDiscid, chkDisCW}) {
        widenToFit(button);
    }

    QWidget* order[] = {txtModem,    optPort[0],        optPort[1],   optPort[2],   optPort[3],  chkAuto,
                        chkCallerID, txtCallerIDstring, chkAutoAns,   cmdExit,      chkDiscid,   cmdCancel,
                        chkDisCW,    cboDevice[0],      cboDevice[1], cboDevice[2], cboDevice[3]};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void frmSetup::Form_Load() {
    SharedState& s = m_services.shared;
    const SettingsStore& store = m_services.settings;
    using Settings::Reader;
    m_storedPort = store.read(Settings::Port, Reader::Setup);
    // A "Port" that is no number keeps the value the window's load gave it.
    if (const auto port = Convert::toInteger(m_storedPort)) {
        s.PortNumber = *port;
    }
    s.IntString = store.read(Settings::IntString, Reader::Setup);
    s.AutoOn = store.read(Settings::AutoOn, Reader::Setup);
    s.CallerID = store.read(Settings::CallerID, Reader::Setup);
    s.CallerIDString = store.read(Settings::CallerIDString, Reader::Setup);

    if (Convert::toInteger(m_storedPort) && s.PortNumber >= 1 && s.PortNumber <= 4) {
        optPort[s.PortNumber - 1]->setChecked(true);
    }
    txtModem->setText(s.IntString);
    txtCallerIDstring->setText(s.CallerIDString);
    chkCallerID->setChecked(Settings::isExactlyTrue(s.CallerID));
    chkAuto->setChecked(Settings::isExactlyTrue(s.AutoOn));
    chkAutoAns->setChecked(s.AutoAns);
    chkDiscid->setChecked(s.DisCID);
    chkDisCW->setChecked(s.DisCW);
    m_openingAutoOn = s.AutoOn;
    m_openingCallerID = s.CallerID;
    m_openingAutoAns = s.AutoAns;
    m_openingDisCID = s.DisCID;
    m_openingDisCW = s.DisCW;
    fillDevices();
}

void frmSetup::fillDevices() {
    const QList<SerialDevices::Choice> choices = SerialDevices::choices(SerialDevices::present());
    for (int i = 0; i < 4; ++i) {
        QComboBox* box = cboDevice[i];
        box->clear();
        for (const SerialDevices::Choice& choice : choices) {
            box->addItem(choice.label, choice.path);
        }
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 8);
        box->setEditText(m_services.settings.portDevice(i + 1));
    }
}

void frmSetup::optPort_Click(int index) {
    m_services.shared.PortNumber = static_cast<qint16>(index + 1);
}

void frmSetup::chkAuto_Click() {
    m_services.shared.AutoOn = Convert::fromBoolean(chkAuto->isChecked());
}

void frmSetup::chkCallerID_Click() {
    m_services.shared.CallerID = Convert::fromBoolean(chkCallerID->isChecked());
}

void frmSetup::chkAutoAns_Click() {
    m_services.shared.AutoAns = chkAutoAns->isChecked();
}

void frmSetup::chkDiscid_Click() {
    m_services.shared.DisCID = chkDiscid->isChecked();
}

void frmSetup::chkDisCW_Click() {
    m_services.shared.DisCW = chkDisCW->isChecked();
}

namespace {

// A switch held as text, as the box shows it: the stored text while the box still shows what
// that text means (so a hand-written "true" or an empty text is not rewritten behind the user's
// back), otherwise "True" or "False".
QString shownSwitch(const QCheckBox* box, const QString& openingText) {
    return box->isChecked() == Settings::isExactlyTrue(openingText) ? openingText
                                                                    : Convert::fromBoolean(box->isChecked());
}

} // namespace

void frmSetup::cmdExit_Click() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    SharedState& s = m_services.shared;
    SettingsStore& store = m_services.settings;
    // What the dialog shows is what is stored: while it was open, an attach may have reloaded the
    // shared values from the store, or an error may have changed them.
    s.IntString = txtModem->text();
    s.CallerIDString = txtCallerIDstring->text();
    // With no option button for the stored "Port", it is kept as it stands.
    const auto chosen = std::find_if(optPort.begin(), optPort.end(), [](QRadioButton* o) { return o->isChecked(); });
    if (chosen != optPort.end()) {
        s.PortNumber = static_cast<qint16>(chosen - optPort.begin() + 1);
        store.writeInteger(Settings::Port, s.PortNumber);
    } else {
        store.write(Settings::Port, m_storedPort);
    }
    s.AutoOn = shownSwitch(chkAuto, m_openingAutoOn);
    s.CallerID = shownSwitch(chkCallerID, m_openingCallerID);
    s.AutoAns = chkAutoAns->isChecked();
    s.DisCID = chkDiscid->isChecked();
    s.DisCW = chkDisCW->isChecked();
    store.write(Settings::IntString, s.IntString);
    store.write(Settings::AutoOn, s.AutoOn);
    store.write(Settings::CallerID, s.CallerID);
    store.write(Settings::CallerIDString, s.CallerIDString);
    store.writeSwitch(Settings::AutoAns, s.AutoAns);
    store.writeSwitch(Settings::DisCID, s.DisCID);
    store.writeSwitch(Settings::DisCW, s.DisCW);
    writeDevices();
    showMainWindow();
    QGuiApplication::restoreOverrideCursor();
    unload();
}

void frmSetup::writeDevices() {
    SettingsStore& store = m_services.settings;
    for (int i = 0; i < 4; ++i) {
        const int port = i + 1;
        const QString typed = cboDevice[i]->currentText().trimmed();
        // An emptied box means the port's usual device; a path that did not change is not written,
        // so a store that never named devices does not start naming them.
        if (typed.isEmpty()) {
            if (store.contains(Settings::portDevice(port))) {
                store.setPortDevice(port, QString());
            }
        } else if (typed != store.portDevice(port)) {
            store.setPortDevice(port, typed);
        }
    }
}

void frmSetup::cmdCancel_Click() {
    SharedState& s = m_services.shared;
    s.AutoAns = m_openingAutoAns;
    s.DisCID = m_openingDisCID;
    s.DisCW = m_openingDisCW;
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
    m_form.show();
    m_form.raise();
    m_form.activateWindow();
}

void frmSetup::unload() {
    if (!m_unloading) {
        m_unloading = true;
        close();
    }
}
