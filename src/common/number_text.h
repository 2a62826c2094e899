#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quavert {

/// Sign-position form: a blank before a non-negative number, a minus before a negative one
/// (" 144", "-1"). Used in messages, report lines, meta-event lines and working-file fields.
std::string SignedNumber(std::int64_t n);

/// Plain form: bare decimal digits, a minus only when negative ("144"). Used in text boxes,
/// list cells and track-chooser items.
std::string PlainNumber(std::int64_t n);

/// The numeric value of a text: its leading number (blanks, an optional sign, digits with an
/// optional decimal point and exponent), reading stopping at the first other character.
/// A text that starts with no number is 0. RunError 6 when the number is too large for a double.
double LeadingNumber(std::string_view text);

/// Rounds to the nearest whole number, halves to the even neighbour (96.5 -> 96, 97.5 -> 98).
double RoundHalfEven(double x);

/// Rounds half to even to a signed 16-bit Integer; RunError 6 when the result does not fit.
std::int16_t ToInteger(double x);

/// Rounds half to even to a signed 32-bit Long; RunError 6 when the result does not fit.
std::int32_t ToLong(double x);

/// `text` padded with blanks on the right to `width` characters; a longer text is kept whole.
std::string PadRight(std::string_view text, std::size_t width);

/// `text` padded with blanks on the left to `width` characters; a longer text is kept whole.
std::string PadLeft(std::string_view text, std::size_t width);

/// `text` without leading blanks.
std::string_view TrimLeft(std::string_view text);

/// `text` without trailing blanks.
std::string_view TrimRight(std::string_view text);

/// `text` without leading and trailing blanks.
std::string_view Trim(std::string_view text);

/// `text` with ASCII letters in upper case; other bytes unchanged.
std::string UpperCase(std::string_view text);

/// `text` with ASCII letters in lower case; other bytes unchanged.
std::string LowerCase(std::string_view text);

/// Upper-case hex pairs separated by blanks ("90 3C 64").
std::string HexPairs(std::string_view bytes);

}  // namespace quavert
