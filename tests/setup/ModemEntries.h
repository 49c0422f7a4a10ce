#pragma once

#include "console/SettingsStore.h"

// Fills the group "Modem" from `entries`: key=text, separated by ";".
inline void writeModemEntries(SettingsStore& store, const QString& entries) {
    for (const QString& entry : entries.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        store.write(Settings::Modem, entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    }
}
