#pragma once

#include "platform/Controls.h"

// A 3-D panel whose caption stands along its top edge, above the controls it holds (a centred
// caption would be hidden behind them).
class TopCaptionPanel : public Panel3D {
    Q_OBJECT
public:
    using Panel3D::Panel3D;

protected:
    void paintEvent(QPaintEvent* event) override;
};
