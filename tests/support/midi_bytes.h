#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace quavert::testing {

/// Bytes of a file or of part of one.
using Bytes = std::string;

/// Bytes from hexadecimal pairs separated by blanks: Hex("00 90 3C 64").
Bytes Hex(std::string_view pairs);

/// A header chunk: "MThd", length 6, then format, track count and division, big-endian.
Bytes Mthd(int format, int tracks, int division);
/// A track chunk around `data`, its length field computed.
Bytes Mtrk(const Bytes& data);
/// A whole file: the header and one chunk per track.
Bytes Smf(int format, int division, std::initializer_list<Bytes> track_data);
Bytes Smf(int format, int division, const std::vector<Bytes>& track_data);

/// `smf` wrapped as an RMID file: "RIFF", its length, "RMID", the "data" chunk (padded to an even
/// length), then `after` (further RIFF chunks, such as a LIST of INFO).
Bytes Rmid(const Bytes& smf, const Bytes& after = "");
/// A variable-length quantity in its shortest form.
Bytes Vlq(std::uint32_t value);

/// The bytes of a file as "00 90 3C" for failure messages.
std::string ToHex(std::string_view bytes);

/// Writes `bytes` to `path`, replacing it; throws std::runtime_error when they cannot be written.
void WriteFileBytes(const std::string& path, std::string_view bytes);
/// The whole content of `path`; empty when it cannot be read.
Bytes ReadFileBytes(const std::string& path);

}  // namespace quavert::testing
