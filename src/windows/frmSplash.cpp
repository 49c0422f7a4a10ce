#include "windows/frmSplash.h"

#include "console/PhoneFace.h"
#include "modem/Clock.h"
#include "platform/DesignColors.h"
#include "platform/Fonts.h"
#include "platform/Placement.h"
#include "platform/Twips.h"
#include "windows/ProgramInfo.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTime>
#include <QTimer>

namespace {

using Placement::place;

QFont arial(double points, QFont::Weight weight = QFont::Bold) {
    return Fonts::design(QStringLiteral("Arial"), points, weight);
}

// Labels that size themselves to their text from their design corner; a right-aligned one keeps
// its right edge, and one too wide for `maxWidth` wraps its words.
void autoSize(QLabel* label, int maxWidth, bool keepRightEdge) {
    const QRect before = label->geometry();
    label->setWordWrap(false);
    label->adjustSize();
    if (label->width() > maxWidth) {
        label->setWordWrap(true);
        label->setFixedWidth(maxWidth);
        label->setMinimumHeight(label->heightForWidth(maxWidth));
        label->resize(maxWidth, label->heightForWidth(maxWidth));
    }
    if (keepRightEdge) {
        label->move(before.right() + 1 - label->width(), before.top());
    }
}

} // namespace

frmSplash::frmSplash(const Clock& clock, const QPixmap& logo, QWidget* parent)
    : QFrame(parent)
    , m_clock(clock) {
    buildFace(logo);
}

void frmSplash::buildFace(const QPixmap& logo) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    // It stands beside the main window and must not take the keyboard from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setFixedSize(Twips::toPixels(DesignClientWidth), Twips::toPixels(DesignClientHeight));
    // It has no title bar; a screen reader still names the window.
    setAccessibleName(ProgramInfo::ProductName);

    Frame1 = place(new QFrame(this), QStringLiteral("Frame1"), 150, 60, 7080, 4050);
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Placement::fill(Frame1, DesignColors::PanelGrey);
    Frame1->installEventFilter(this);

    imgLogo = place(new QLabel(Frame1), QStringLiteral("imgLogo"), 240, 225, 1335, 3180);
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setAccessibleName(QStringLiteral("Picture of the telephone"));
    if (!logo.isNull()) {
        imgLogo->setPixmap(logo.scaled(imgLogo->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    lblProductName = place(new QLabel(Frame1), QStringLiteral("lblProductName"), 2520, 1140, 1785, 555);
    lblProductName->setFont(arial(24));
    lblVersion = place(new QLabel(Frame1), QStringLiteral("lblVersion"), 2550, 1710, 885, 285);
    lblVersion->setFont(arial(12));
    lblPlatform = place(new QLabel(DesignPlatformText, Frame1), QStringLiteral("lblPlatform"), 4620, 2340, 2235, 360);
    lblPlatform->setFont(arial(15.75));
    lblPlatform->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCompanyProduct = place(new QLabel(Frame1), QStringLiteral("lblCompanyProduct"), 2355, 705, 105, 435);
    lblCompanyProduct->setFont(arial(18));
    lblCompany =
        place(new QLabel(QStringLiteral("Company"), Frame1), QStringLiteral("lblCompany"), 4560, 3270, 2415, 255);
    lblCompany->setFont(arial(8.25, QFont::Normal));
}

double frmSplash::timeOfDay() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QPixmap frmSplash::telephonePicture(QWidget& phone) {
    const int narrow = Twips::toPixels(PhoneFace::NarrowWidth - Twips::BorderAllowance);
    return phone.grab(QRect(0, 0, qMin(narrow, phone.width()), phone.height()));
}

void frmSplash::Form_Load(double timeOfDay) {
    show();
    lblVersion->setText(ProgramInfo::versionText());
    lblProductName->setText(ProgramInfo::ProductName);
    lblPlatform->setText(ProgramInfo::platformText());
    // Right of the picture, the labels have the rest of the frame.
    const int room = Twips::toPixels(7080 - 1700);
    for (QLabel* label : {lblProductName, lblVersion, lblCompanyProduct}) {
        autoSize(label, room, false);
    }
    autoSize(lblPlatform, room, true);

    // The time is counted once from here, so a wait that spans midnight lasts as long as any.
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &frmSplash::unload);
    m_timer->start(static_cast<int>(m_clock.realMilliseconds(ProgramInfo::splashSeconds(timeOfDay))));
}

void frmSplash::Frame1_Click() {
    unload();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    // Only the frame's free area counts as a click on it, not its labels or picture.
    if (watched == Frame1 && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !Frame1->childAt(mouse->position().toPoint())) {
            Frame1_Click();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void frmSplash::unload() {
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    if (m_timer) {
        m_timer->stop();
    }
    close();
    emit finished();
}
