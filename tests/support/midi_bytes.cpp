#include "support/midi_bytes.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "midi_track.h"

namespace quavert::testing {
namespace {

int Nibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  throw std::invalid_argument("not a hexadecimal digit");
}

}  // namespace

Bytes Hex(std::string_view pairs) {
  Bytes out;
  int pending = -1;
  for (char c : pairs) {
    if (c == ' ' || c == '\n') continue;
    if (pending < 0) {
      pending = Nibble(c);
    } else {
      out.push_back(static_cast<char>(pending << 4 | Nibble(c)));
      pending = -1;
    }
  }
  if (pending >= 0) throw std::invalid_argument("odd number of hexadecimal digits");
  return out;
}

// The chunks are made as the benchmark generator makes them: one writer of MIDI bytes for both.
Bytes Mthd(int format, int tracks, int division) { return generate::HeaderChunk(format, tracks, division); }

Bytes Mtrk(const Bytes& data) { return generate::TrackChunk(data); }

Bytes Smf(int format, int division, const std::vector<Bytes>& track_data) {
  Bytes out = Mthd(format, static_cast<int>(track_data.size()), division);
  for (const Bytes& data : track_data) out += Mtrk(data);
  return out;
}

Bytes Smf(int format, int division, std::initializer_list<Bytes> track_data) {
  return Smf(format, division, std::vector<Bytes>(track_data));
}

Bytes Vlq(std::uint32_t value) { return generate::Vlq(value); }

std::string ToHex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

Bytes Rmid(const Bytes& smf, const Bytes& after) {
  auto le32 = [](std::size_t value) {
    Bytes out;
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>(value >> shift & 0xFF);
    return out;
  };
  const Bytes data = "data" + le32(smf.size()) + smf + (smf.size() % 2 != 0 ? Bytes(1, '\0') : "");
  return "RIFF" + le32(4 + data.size() + after.size()) + "RMID" + data + after;
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace quavert::testing
