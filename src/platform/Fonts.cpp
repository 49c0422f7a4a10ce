#include "platform/Fonts.h"

#include <QStringList>

namespace Fonts {

void registerSubstitutes() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    const auto add = [](const char* family, std::initializer_list<const char*> substitutes) {
        QStringList list;
        for (const char* s : substitutes) {
            list << QLatin1String(s);
        }
        QFont::insertSubstitutions(QLatin1String(family), list);
    };
    add("MS Sans Serif", {"Nimbus Sans", "Liberation Sans", "DejaVu Sans"});
    add("Arial", {"Nimbus Sans", "Liberation Sans", "DejaVu Sans"});
    add("Small Fonts", {"Nimbus Sans Narrow", "DejaVu Sans Condensed", "DejaVu Sans"});
    add("Comic Sans MS", {"Comic Neue", "DejaVu Sans"});
    add("Century Gothic", {"URW Gothic", "DejaVu Sans"});
    add("Benguiat Frisky ATT", {"Z003", "URW Bookman", "DejaVu Serif"});
    add("Monotype Sorts", {"DejaVu Sans"});
}

QFont design(const QString& family, double pointSize, QFont::Weight weight) {
    registerSubstitutes();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    return font;
}

} // namespace Fonts
