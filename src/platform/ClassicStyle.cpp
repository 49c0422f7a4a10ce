#include "platform/ClassicStyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <functional>
#include <optional>

namespace {

// An icon that is made only when something first draws or measures it.
class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make)
        : m_make(std::move(make)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon() {
        if (!m_icon) {
            m_icon = m_make();
        }
        return *m_icon;
    }

    std::function<QIcon()> m_make;
    std::optional<QIcon> m_icon;
};

} // namespace

ClassicStyle* ClassicStyle::create() {
    QStyle* base = QStyleFactory::create(QStringLiteral("Windows"));
    return base ? new ClassicStyle(base) : nullptr;
}

ClassicStyle::ClassicStyle(QStyle* base)
    : QProxyStyle(base) {}

QIcon ClassicStyle::standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const {
    if (which != SP_ToolBarHorizontalExtensionButton && which != SP_ToolBarVerticalExtensionButton) {
        return QProxyStyle::standardIcon(which, option, widget);
    }
    // The option does not outlive this call, so the icon keeps a copy; the base style reads no
    // more than the option's direction for these pictures, and nothing from the widget.
    const std::optional<QStyleOption> copy = option ? std::optional<QStyleOption>(*option) : std::nullopt;
    const QPointer<QStyle> base = baseStyle();
    return QIcon(new DeferredIconEngine(
        [base, which, copy] { return base ? base->standardIcon(which, copy ? &*copy : nullptr) : QIcon(); }));
}
