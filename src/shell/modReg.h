#pragma once
// The settings kept between runs: string values of one key of the settings
// store, with the conversions start-up applies to them.
#include "platform/registry.h"

#include <QString>
#include <cstdint>
#include <optional>

inline constexpr registry::Hive HKEY_LOCAL_MACHINE = registry::Hive::LocalMachine;

// The key every setting of the game lives under.
inline const QString SettingsKey = QStringLiteral("SOFTWARE\\Mirvo Vorla");

// The text stored under the value, up to its first NUL; the default when the
// key or the value is missing. A value stored empty gives the empty text.
QString RegGetString(registry::Hive hive, const QString& key, const QString& value,
                     const QString& defaultText);

// Stores the text as Windows-1252 bytes, one per character, without a
// terminator, creating the key when missing. A failed write is lost silently.
void RegSaveString(registry::Hive hive, const QString& key, const QString& value,
                   const QString& text);

// "True" or "False", the words a stored Boolean is written as.
QString BoolText(bool value);

// A stored Boolean: "True" and "False" in any letter case, or a number (0 is
// false, any other true). Nothing when the text is neither; the caller then
// keeps its setting as it was.
std::optional<bool> TextToBool(const QString& text);

// A stored byte ("Verso"): the number at the start of the text, rounded to a
// whole number (halves to even); a text that does not start with a number gives
// 0. Nothing when the number lies outside 0 to 255; the caller keeps its value.
std::optional<std::uint8_t> TextToByte(const QString& text);
