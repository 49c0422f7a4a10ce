#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace Twips {

namespace {
double dotsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}
} // namespace

int toPixels(int twips) {
    return static_cast<int>(std::lround(twips * dotsPerInch() / 1440.0));
}

int fromPixels(int pixels) {
    return static_cast<int>(std::lround(pixels * 1440.0 / dotsPerInch()));
}

QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace Twips
