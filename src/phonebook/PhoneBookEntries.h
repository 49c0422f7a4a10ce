#pragma once

#include <QString>

class SettingsStore;

// The twelve phone-book entries of the store: entry i is key "i" (its first part, the name) and
// key "ia" (its second part, the number) of section "PhoneBook".
namespace PhoneBookEntries {
inline constexpr int Count = 12;
QString firstKey(int index);
QString secondKey(int index);
// The text a row shows: first part, one blank, second part.
QString displayText(const SettingsStore& store, int index);
} // namespace PhoneBookEntries
