#pragma once

#include <QColor>

// The colours the windows are designed with, named once for every window and handler.
namespace DesignColors {
inline const QColor Green(0, 255, 0);     // display texts, the lit power lamp
inline const QColor Red(255, 0, 0);       // status text, warnings on the display, latched captions
inline const QColor Blue(0, 0, 255);      // keypad and phone-book captions
inline const QColor DarkGreen(0, 128, 0); // Send
inline const QColor Black(0, 0, 0);       // captions at rest
inline const QColor PanelGrey(192, 192, 192);
// The display area. The system's desktop colour has no counterpart here, so the display is a
// dark glass that the green and red texts stand out on.
inline const QColor DisplayBackground(16, 24, 32);
} // namespace DesignColors
