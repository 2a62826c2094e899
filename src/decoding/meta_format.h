#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quavert {

/// The decimal digits of `n` right-aligned in 6 characters, as the delta stands at the front of
/// a Text2 line; a wider number is shown whole.
std::string Format6(std::int64_t n);

/// Blanks in front of a report line's number: 7 - the length of its sign-position text.
/// Negative for numbers of 1000000 and more; a caller then adds no blanks.
std::int64_t PadWidth(std::int64_t n);

/// The sign-position text of `n` without its blanks ("120").
std::string TrimNumber(std::int64_t n);

/// The high byte of a 16-bit value: the integer part (floor) of n / 256.
std::int64_t HighByte(std::int64_t n);
/// The low byte: n - HighByte(n) x 256.
std::int64_t LowByte(std::int64_t n);

/// The text a key signature's sharps-or-flats count is looked up by: "-3" for three flats,
/// "0" for none, "+2" for two sharps.
std::string SignatureText(int sf);

/// The name of a key ("Eb Major", "A Minor") from its signature text and mode (0 major, any
/// other value minor). A signature outside -7..+7 gives "Unknown Key".
std::string KeyName(std::string_view signature, int mode);

}  // namespace quavert
