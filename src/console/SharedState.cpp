#include "console/SharedState.h"

#include "console/SettingsStore.h"

QList<ConversionError> loadModemSettings(const SettingsStore& store, SharedState& shared, qint16& speakerLevel,
                                         OnBadValue onBadValue) {
    QList<ConversionError> errors;
    // Converts one stored text; on failure records it and says whether to go on.
    const auto convert = [&](const Settings::Key& key, auto converter, auto& target) {
        const QString text = store.read(key);
        if (const auto value = converter(text)) {
            target = *value;
            return true;
        }
        errors.append({key.name, text});
        if (onBadValue == OnBadValue::Stop) {
            return false;
        }
        target = *converter(key.loadDefault);
        return true;
    };

    if (!convert(Settings::Port, Convert::toInteger, shared.PortNumber)) {
        return errors;
    }
    shared.IntString = store.read(Settings::IntString);
    shared.AutoOn = store.read(Settings::AutoOn);
    shared.CallerID = store.read(Settings::CallerID);
    shared.CallerIDString = store.read(Settings::CallerIDString);
    for (const auto& [key, target] :
         {std::pair{&Settings::AutoAns, &shared.AutoAns}, std::pair{&Settings::DisCID, &shared.DisCID},
          std::pair{&Settings::DisCW, &shared.DisCW}}) {
        if (!convert(*key, Convert::toBoolean, *target)) {
            return errors;
        }
    }
    if (!convert(Settings::Speaker, Convert::toInteger, speakerLevel)) {
        return errors;
    }
    const auto choice = [](const Settings::Key& key) {
        return [&key](const QString& text) -> std::optional<QString> {
            return Settings::choicesOf(key).contains(text) ? std::optional(text) : std::nullopt;
        };
    };
    for (const auto& [key, target] : {std::pair{&Settings::CommandSet, &shared.CommandSet},
                                      std::pair{&Settings::TalkThrough, &shared.TalkThrough}}) {
        if (!convert(*key, choice(*key), *target)) {
            return errors;
        }
    }
    shared.V253IntString = store.read(Settings::V253IntString);
    shared.V253CallerIDString = store.read(Settings::V253CallerIDString);
    return errors;
}
