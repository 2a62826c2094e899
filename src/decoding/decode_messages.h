#pragma once

#include <string>

#include "decoding/event_scanner.h"

namespace quavert {

/// A delta, length or data byte would lie past the end of the track's chunk or of the file.
inline constexpr const char* kUnexpectedEndOfTrack = "ERROR: Unexpected end of track";
/// The question of the missing-status-byte repair (Yes/No).
inline constexpr const char* kMissingByteQuestion = "ERROR: Probably missing byte.  Repair? ";
/// The question of the time-signature repair (Yes/No).
inline constexpr const char* kTimeSignatureQuestion = "ERROR: Invalid Time Signature.  Repair? ";

/// The message that stops the decode at an event with a problem ("ERROR: Invalid Tempo",
/// "Invalid byte: 7" for an unknown meta type); "" when the event has none.
std::string ProblemMessage(const ScannedEvent& event);

/// The message of a run-time error inside the decoder: "Error:" and the number in
/// sign-position form ("Error: 6").
std::string RunErrorMessage(int code);

}  // namespace quavert
