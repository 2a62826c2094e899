#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "loading/name_tables.h"

namespace quavert {

/// Entry of DrumKitName (minus one, 0..8) for a program change on the drum channel: programs
/// 0-7 Standard, 8-15 Room, 16-23 Power, 24 Electronic, 25-32 TR - 808, 33-39 Jazz, 40-47 Brush,
/// 48-55 Orchestra, and "unknown" (8) for everything else.
int DrumKitEntry(std::int32_t program);

/// The kit name of a program change on the drum channel.
std::string DrumKitNameOf(const NameTables& names, std::int32_t program);

/// The name of controller `number` from the controller table (first match wins), or the number
/// in decimal when the table has none.
std::string LookupController(const NameTables& names, std::int32_t number);

/// Note name and octave of a note number: 60 "C5", 61 "C#5", 0 "C0", 127 "G10". Empty for a
/// negative number.
std::string NoteText(const NameTables& names, std::int32_t note);

/// The note number a typed note name stands for ("C4" 48, "c#4" 49, "G10" 127), or nothing when
/// the text is not a note name: sharps only (no E# or B#), the octave a number 0..10 that starts
/// right after the name, and the result below 128.
std::optional<std::int32_t> ReadNoteName(const NameTables& names, std::string_view text);

}  // namespace quavert
