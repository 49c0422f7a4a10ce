#include "phonebook/PhoneBookEntries.h"

#include "console/SettingsStore.h"

namespace PhoneBookEntries {

QString name(const SettingsStore& store, int index) {
    return store.read(Settings::phoneBookName(index));
}

QString number(const SettingsStore& store, int index) {
    return store.read(Settings::phoneBookNumber(index));
}

void write(SettingsStore& store, int index, const QString& name, const QString& number) {
    store.write(Settings::phoneBookName(index), name);
    store.write(Settings::phoneBookNumber(index), number);
}

QString displayText(const SettingsStore& store, int index) {
    return name(store, index) + QLatin1Char(' ') + number(store, index);
}

bool isEmpty(const SettingsStore& store, int index) {
    return displayText(store, index).trimmed().isEmpty();
}

int firstEmptyEntry(const SettingsStore& store) {
    for (int i = 0; i < Count; ++i) {
        if (isEmpty(store, i)) {
            return i;
        }
    }
    return -1;
}

bool isWithheldNumber(const QString& reportedNumber) {
    return reportedNumber.startsWith(QLatin1Char('P')) || reportedNumber.startsWith(QLatin1Char('O'));
}

} // namespace PhoneBookEntries
