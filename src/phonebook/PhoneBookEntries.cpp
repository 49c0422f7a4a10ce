#include "phonebook/PhoneBookEntries.h"

#include "console/SettingsStore.h"

namespace PhoneBookEntries {

QString firstKey(int index) {
    return QString::number(index);
}

QString secondKey(int index) {
    return QString::number(index) + QLatin1Char('a');
}

QString displayText(const SettingsStore& store, int index) {
    return store.read(Settings::PhoneBook, firstKey(index)) + QLatin1Char(' ') +
           store.read(Settings::PhoneBook, secondKey(index));
}

} // namespace PhoneBookEntries
