#include "windows/frmAbout.h"

#include "console/MessageBoxes.h"
#include "console/Services.h"
#include "platform/Fonts.h"
#include "platform/Placement.h"
#include "platform/Resources.h"
#include "platform/Twips.h"
#include "windows/ProgramInfo.h"
#include "windows/SystemInfoTool.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

using Placement::place;

QFrame* line(QWidget* parent, const QString& name, int left, int top, int right, int pixels, const QColor& color) {
    auto* frame = place(new QFrame(parent), name, left, top, right - left, 15);
    frame->setFixedHeight(pixels);
    Placement::fill(frame, color);
    return frame;
}

} // namespace

frmAbout::frmAbout(Services& services, QWidget* parent)
    : QDialog(parent)
    , m_services(services) {
    buildFace();
    Form_Load();
}

void frmAbout::buildFace() {
    initResources();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(Fonts::design(QStringLiteral("MS Sans Serif"), 8.25));
    setFixedSize(Twips::toPixels(DesignClientWidth), Twips::toPixels(DesignClientHeight));

    picIcon = place(new QLabel(this), QStringLiteral("picIcon"), 240, 240, 540, 540);
    picIcon->setPixmap(QIcon(QStringLiteral(":/brisvane/telephone.svg")).pixmap(Twips::rect(0, 0, 540, 540).size()));
    picIcon->setAccessibleName(ProgramInfo::ProductName + QStringLiteral(" icon"));
    lblTitle = place(new QLabel(this), QStringLiteral("lblTitle"), 1050, 240, 3885, 480);
    lblTitle->setFont(Fonts::design(QStringLiteral("MS Sans Serif"), 13.5, QFont::Bold));
    lblVersion = place(new QLabel(this), QStringLiteral("lblVersion"), 1050, 780, 3885, 225);
    lblDescription = place(new QLabel(this), QStringLiteral("lblDescription"), 1050, 1125, 3885, 1170);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDescription->setText(QStringLiteral("A speakerphone and dialer for a voice modem. The modem carries the "
                                           "conversation; the telephone on the screen works it."));
    // An etched rule: a grey line with a white one under it.
    Line1[1] = line(this, QStringLiteral("Line1_1"), 90, 2445, 5654, 1, QColor(128, 128, 128));
    Line1[0] = line(this, QStringLiteral("Line1_0"), 105, 2460, 5654, 2, QColor(255, 255, 255));
    lblDisclaimer = place(new QLabel(this), QStringLiteral("lblDisclaimer"), 255, 2625, 3870, 825);

    cmdOK = place(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"), 4245, 2625, 1260, 345);
    cmdOK->setDefault(true);
    cmdSysInfo = place(new QPushButton(QStringLiteral("&System Info..."), this), QStringLiteral("cmdSysInfo"), 4260,
                       3075, 1245, 345);
    cmdSysInfo->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::Form_Load() {
    setWindowTitle(ProgramInfo::ProductName);
    lblVersion->setText(ProgramInfo::versionText());
    lblTitle->setText(ProgramInfo::ProductName);
}

void frmAbout::cmdOK_Click() {
    accept(); // Esc and the close box end it the same way, through reject()
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::StartSysInfo() {
    if (const auto tool = SystemInfoTool::find(); tool && SystemInfoTool::start(*tool)) {
        return;
    }
    m_services.messages.show(MessageBoxes::Icon::None, ApplicationTitle, Unavailable);
}
