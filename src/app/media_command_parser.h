#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quavert {

/// One media command string taken apart: "Play REDevid1 from 0 to 960 notify" has the verb
/// "play", the device "REDevid1", the words "from" "0" "to" "960" and Notify set.
struct MediaCommand {
  std::string Verb;                ///< the first word, in lower case; empty for a blank command
  std::string Device;              ///< the alias, or for "Open" the path of the file
  std::vector<std::string> Words;  ///< the words after the device, as written, without "notify"
  bool Notify = false;             ///< the command asked to be told when it is done
  bool operator==(const MediaCommand&) const = default;
};

/// Takes a command string apart at its blanks. The device may be quoted, as a path with
/// blanks is: it then runs to the last quote of the command that ends a word, and loses its
/// quotes. A quoted word without a blank inside is a path whose name has quotes, kept as it is.
MediaCommand ParseMediaCommand(std::string_view command);

/// True when the two words are equal apart from the case of ASCII letters.
bool SameWord(std::string_view a, std::string_view b);

/// The value of a word that is a whole decimal number with an optional minus sign;
/// nothing for any other word or a number beyond 64 bits.
std::optional<std::int64_t> WholeNumber(std::string_view word);

}  // namespace quavert
