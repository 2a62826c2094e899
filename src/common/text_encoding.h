#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quavert {

/// How texts of a MIDI file (names, lyrics, markers) are read as characters. The file's bytes
/// never change: an encoding only says how they are shown.
enum class TextEncoding {
  kAutomatic,    ///< UTF-8 when the bytes are valid UTF-8, otherwise Latin-1
  kUtf8,
  kLatin1,
  kWindows1252,
  kShiftJis,     ///< as Windows writes it (code page 932)
  kGb18030,
  kEucKr,        ///< with the Windows extension (code page 949)
};

inline constexpr TextEncoding kTextEncodings[] = {
    TextEncoding::kAutomatic, TextEncoding::kUtf8,     TextEncoding::kLatin1, TextEncoding::kWindows1252,
    TextEncoding::kShiftJis,  TextEncoding::kGb18030, TextEncoding::kEucKr,
};

/// The name shown and accepted for an encoding: "Automatic", "UTF-8", "Latin-1", "Windows-1252",
/// "Shift-JIS", "GB18030", "EUC-KR".
std::string_view EncodingName(TextEncoding encoding);

/// The encoding of a name as EncodingName gives it, in any case of letters; none for another name.
std::optional<TextEncoding> EncodingNamed(std::string_view name);

/// Whether `bytes` are valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

/// `bytes` read in `encoding`, as UTF-8. A byte or sequence that the encoding does not define
/// becomes U+FFFD and the reading goes on after it: any bytes give a result.
std::string ToUtf8(std::string_view bytes, TextEncoding encoding);

}  // namespace quavert
