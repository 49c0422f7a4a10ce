#pragma once

#include "console/SettingKeys.h"

#include <QString>

class SettingsStore;

// The twelve phone-book entries of the store (group "PhoneBook" of console/SettingKeys.h).
namespace PhoneBookEntries {
inline constexpr int Count = Settings::PhoneBookEntryCount;
// The number display holds at most this many characters, so no entry's number may be longer.
inline constexpr int MaxNumberLength = 14;

QString name(const SettingsStore& store, int index);
QString number(const SettingsStore& store, int index);
void write(SettingsStore& store, int index, const QString& name, const QString& number);

// The text a row shows: first part, one blank, second part.
QString displayText(const SettingsStore& store, int index);
// An entry with nothing but blanks in both parts.
bool isEmpty(const SettingsStore& store, int index);
// The lowest index of an empty entry, or -1 when every entry holds something.
int firstEmptyEntry(const SettingsStore& store);

// Caller-ID reports give "P" for a private caller and "O" for one out of the area instead of a
// number; neither can be called back.
bool isWithheldNumber(const QString& reportedNumber);
} // namespace PhoneBookEntries
