#pragma once

#include <QFont>
#include <QString>

// The windows are designed with fonts that Debian does not ship. Each design family is mapped
// once to the closest family Debian's font packages provide, so the code keeps the design's
// names and the screen shows a close match.
namespace Fonts {
void registerSubstitutes();
// A font of the design: family, size in points (fractions allowed) and weight.
QFont design(const QString& family, double pointSize, QFont::Weight weight = QFont::Normal);
} // namespace Fonts
