#include "modem/ModemVoice.h"

#include <QRegularExpression>

namespace {

// A label names what the selection connects: M microphone, S speaker, T the line; a digit after
// a letter numbers an external one (M1, S1).
bool has(const QString& label, QChar what) {
    return label.contains(what);
}

std::optional<int> firstWhere(const QMap<int, QString>& selections, bool (*wanted)(const QString&)) {
    for (auto it = selections.cbegin(); it != selections.cend(); ++it) {
        if (wanted(it.value())) {
            return it.key();
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<int> ModemVoice::speakerphone() const {
    return firstWhere(selections, [](const QString& label) {
        return has(label, QLatin1Char('M')) && has(label, QLatin1Char('S')) && has(label, QLatin1Char('T'));
    });
}

std::optional<int> ModemVoice::lineOnly() const {
    return firstWhere(selections, [](const QString& label) { return label == QLatin1String("T"); });
}

std::optional<int> ModemVoice::speakerAndLine() const {
    return firstWhere(selections, [](const QString& label) {
        return !has(label, QLatin1Char('M')) && has(label, QLatin1Char('S')) && has(label, QLatin1Char('T'));
    });
}

QString ModemVoice::describe() const {
    const QString name = set == Set::V253 ? QStringLiteral("V.253") : QStringLiteral("Rockwell");
    if (!detected) {
        return name;
    }
    return identity.isEmpty() ? QStringLiteral("%1, found").arg(name)
                              : QStringLiteral("%1, found: %2").arg(name, identity);
}

QMap<int, QString> ModemVoice::selectionsIn(const QString& answer) {
    static const QRegularExpression line(QStringLiteral(R"re((?:^|[\r\n])\s*(\d{1,3})\s*,\s*"([^"\r\n]*)")re"));
    QMap<int, QString> found;
    for (auto it = line.globalMatch(answer); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        found.insert(m.captured(1).toInt(), m.captured(2));
    }
    return found;
}

std::optional<ModemVoice::Range> ModemVoice::rangeIn(const QString& answer) {
    static const QRegularExpression range(QStringLiteral(R"(\(\s*(\d{1,5})\s*-\s*(\d{1,5})\s*\))"));
    const QRegularExpressionMatch m = range.match(answer);
    if (!m.hasMatch() || m.captured(1).toInt() > m.captured(2).toInt()) {
        return std::nullopt;
    }
    return Range{m.captured(1).toInt(), m.captured(2).toInt()};
}
