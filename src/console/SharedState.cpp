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

std::optional<ConversionError> loadModemSettings(const SettingsStore& store, SharedState& shared,
                                                 qint16& speakerLevel) {
    const QString& modem = Settings::Modem;
    const QString falseText = Convert::fromBoolean(false);

    const QString port = store.read(modem, QStringLiteral("Port"), QStringLiteral("1"));
    const auto portNumber = Convert::toInteger(port);
    if (!portNumber) {
        return ConversionError{QStringLiteral("Port"), port};
    }
    shared.PortNumber = *portNumber;
    shared.IntString = store.read(modem, QStringLiteral("IntString"));
    shared.AutoOn = store.read(modem, QStringLiteral("AutoOn"), falseText);
    shared.CallerID = store.read(modem, QStringLiteral("CallerID"));
    shared.CallerIDString = store.read(modem, QStringLiteral("CallerIDString"));

    struct Switch {
        const char* key;
        bool* target;
    };
    for (const Switch& s :
         {Switch{"AutoAns", &shared.AutoAns}, Switch{"DisCID", &shared.DisCID}, Switch{"DisCW", &shared.DisCW}}) {
        const QString key = QLatin1String(s.key);
        const QString text = store.read(modem, key, falseText);
        const auto value = Convert::toBoolean(text);
        if (!value) {
            return ConversionError{key, text};
        }
        *s.target = *value;
    }

    const QString speaker = store.read(modem, QStringLiteral("Speaker"), QStringLiteral("5"));
    const auto level = Convert::toInteger(speaker);
    if (!level) {
        return ConversionError{QStringLiteral("Speaker"), speaker};
    }
    speakerLevel = *level;
    return std::nullopt;
}
