#pragma once

#include "platform/Twips.h"

#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>

// Placing the controls of a window designed in twips, named as in the design.
namespace Placement {

template <typename W> W* place(W* widget, const QString& name, int left, int top, int width, int height) {
    widget->setObjectName(name);
    widget->setGeometry(Twips::rect(left, top, width, height));
    return widget;
}

// The object name of member `index` of a control array: name_index.
inline QString indexed(const char* name, int index) {
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

// A plain background in `color` behind a control and the ones it holds.
inline void fill(QWidget* widget, const QColor& color) {
    widget->setAutoFillBackground(true);
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    widget->setPalette(p);
}

} // namespace Placement
