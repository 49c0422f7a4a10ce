#include "setup/TopCaptionPanel.h"

#include <QPainter>

void TopCaptionPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event); // the bevel only; the caption is drawn here
    if (caption().isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    QRect top = contentsRect();
    top.setHeight(fontMetrics().height() + 2);
    painter.drawText(top, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, caption());
}
