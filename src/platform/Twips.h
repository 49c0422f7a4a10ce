#pragma once

#include <QRect>

// Window geometry is designed in twips (1/1440 inch): 15 twips a pixel at 96 dots per inch.
// Conversions follow the screen's logical DPI, so the window keeps its proportions on a
// high-resolution screen.
namespace Twips {
int toPixels(int twips);
int fromPixels(int pixels);
QRect rect(int left, int top, int width, int height);
// The design's allowance for the window border: the outer width minus the client width.
inline constexpr int BorderAllowance = 90;
} // namespace Twips
