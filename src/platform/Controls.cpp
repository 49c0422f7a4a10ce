#include "platform/Controls.h"

#include "platform/DesignColors.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QWheelEvent>

CommandButton::CommandButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setAutoDefault(false);
}

void CommandButton::setCaptionColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::ButtonText, color);
    setPalette(p);
}

QColor CommandButton::captionColor() const {
    return palette().color(QPalette::ButtonText);
}

void CommandButton::showLatched(bool on) {
    setCaptionColor(on ? DesignColors::Red : DesignColors::Black);
}

Panel3D::Panel3D(QWidget* parent, const QString& caption)
    : QFrame(parent)
    , m_caption(caption) {
    setAccessibleName(caption.simplified());
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, DesignColors::PanelGrey);
    setPalette(p);
}

void Panel3D::setCaption(const QString& caption) {
    m_caption = caption;
    setAccessibleName(caption.simplified());
    update();
}

void Panel3D::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (m_caption.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextSingleLine, m_caption);
}

RibbonButton::RibbonButton(int index, QWidget* parent)
    : QPushButton(parent)
    , m_index(index) {
    setCheckable(true);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this](bool checked) { emit ribbonClicked(m_index, checked); });
}

Slider::Slider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent) {
    // Any change the user makes by mouse or keyboard goes through an action; code that sets the
    // value does not.
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int) { m_userAction = true; });
}

void Slider::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    m_userAction = false;
    emit clicked();
}

void Slider::keyReleaseEvent(QKeyEvent* event) {
    QSlider::keyReleaseEvent(event);
    if (m_userAction) {
        m_userAction = false;
        emit clicked();
    }
}

void Slider::wheelEvent(QWheelEvent* event) {
    // A wheel turn has no release: it ends with its own event. A turn too small for a step moves
    // nothing and counts for nothing.
    QSlider::wheelEvent(event);
    if (m_userAction) {
        m_userAction = false;
        emit clicked();
    }
}

DisplayBox::DisplayBox(QWidget* parent)
    : QLineEdit(parent) {
    setReadOnly(true);
    setFrame(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::NoFocus);
}

void DisplayBox::setTextColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

QColor DisplayBox::textColor() const {
    return palette().color(QPalette::Text);
}

void DisplayBox::setBackgroundColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

namespace {

// A plain widget would reach a screen reader as an anonymous filler, which it skips.
QAccessibleInterface* lampAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("Lamp") && object && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    }
    return nullptr;
}

} // namespace

Lamp::Lamp(bool lit, const QColor& litColor, QWidget* parent)
    : QWidget(parent)
    , m_lit(lit)
    , m_litColor(litColor) {
    [[maybe_unused]] static const bool accessible = (QAccessible::installFactory(lampAccessible), true);
    setAttribute(Qt::WA_TranslucentBackground);
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height()) - 2;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);

    // A metal bezel, then the glass: dark grey when off, the lamp's colour with a highlight when lit.
    painter.setPen(QPen(QColor(64, 64, 64), 1));
    painter.setBrush(QColor(128, 128, 128));
    painter.drawEllipse(circle);
    const QRectF glass = circle.adjusted(side * 0.14, side * 0.14, -side * 0.14, -side * 0.14);
    QRadialGradient gradient(glass.center() - QPointF(glass.width() * 0.2, glass.height() * 0.2), glass.width() * 0.7);
    if (m_lit) {
        gradient.setColorAt(0, m_litColor.lighter(170));
        gradient.setColorAt(0.5, m_litColor);
        gradient.setColorAt(1, m_litColor.darker(160));
    } else {
        gradient.setColorAt(0, QColor(110, 110, 110));
        gradient.setColorAt(1, QColor(30, 30, 30));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(glass);
}
