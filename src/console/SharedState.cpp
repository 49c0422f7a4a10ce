#include "console/SharedState.h"

#include "console/SettingsStore.h"

#include <limits>

namespace Convert {

std::optional<qint16> toInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max()) {
        return std::nullopt;
    }
    return static_cast<qint16>(value);
}

std::optional<bool> toBoolean(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    bool ok = false;
    const double number = t.toDouble(&ok);
    if (ok) {
        return number != 0.0;
    }
    return std::nullopt;
}

QString fromBoolean(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace Convert

QList<ConversionError> loadModemSettings(const SettingsStore& store, SharedState& shared, qint16& speakerLevel,
                                         OnBadValue onBadValue) {
    const QString& modem = Settings::Modem;
    const QString falseText = Convert::fromBoolean(false);
    QList<ConversionError> errors;
    // Converts one stored text; on failure records it and says whether to go on.
    const auto convert = [&](const QString& key, const QString& defaultText, auto converter, auto& target,
                             auto defaultValue) {
        const QString text = store.read(modem, key, defaultText);
        if (const auto value = converter(text)) {
            target = *value;
            return true;
        }
        errors.append({key, text});
        if (onBadValue == OnBadValue::Stop) {
            return false;
        }
        target = defaultValue;
        return true;
    };

    if (!convert(QStringLiteral("Port"), QStringLiteral("1"), Convert::toInteger, shared.PortNumber, qint16(1))) {
        return errors;
    }
    shared.IntString = store.read(modem, QStringLiteral("IntString"));
    shared.AutoOn = store.read(modem, QStringLiteral("AutoOn"), falseText);
    shared.CallerID = store.read(modem, QStringLiteral("CallerID"));
    shared.CallerIDString = store.read(modem, QStringLiteral("CallerIDString"));
    for (const auto& [key, target] : {std::pair{"AutoAns", &shared.AutoAns}, std::pair{"DisCID", &shared.DisCID},
                                      std::pair{"DisCW", &shared.DisCW}}) {
        if (!convert(QLatin1String(key), falseText, Convert::toBoolean, *target, false)) {
            return errors;
        }
    }
    convert(QStringLiteral("Speaker"), QStringLiteral("5"), Convert::toInteger, speakerLevel, qint16(5));
    return errors;
}
