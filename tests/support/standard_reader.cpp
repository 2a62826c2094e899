#include "support/standard_reader.h"

#include <algorithm>
#include <stdexcept>

#include "support/midi_bytes.h"

namespace quavert::testing {
namespace {

// The bytes still to read; every read past their end fails.
struct Cursor {
  std::string_view bytes;
  std::size_t at = 0;
  int longest = 0;      ///< bytes of the longest variable-length number read
  bool padded = false;  ///< one of them began with 80

  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("at offset " + std::to_string(at) + ": the data " + what);
  }
  bool AtEnd() const { return at == bytes.size(); }
  std::string Take(std::uint64_t count) {
    if (count > bytes.size() - at) Fail("runs past its end");
    at += count;
    return std::string(bytes.substr(at - count, count));
  }
  int Byte() { return static_cast<std::uint8_t>(Take(1)[0]); }
  std::uint32_t BigEndian32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<std::uint32_t>(Byte());
    return value;
  }
  std::uint32_t VariableLength() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const int byte = Byte();
      padded = padded || (i == 0 && byte == 0x80);
      value = value << 7 | static_cast<std::uint32_t>(byte & 0x7F);
      if (byte < 0x80) {
        longest = std::max(longest, i + 1);
        return value;
      }
    }
    Fail("has a variable-length number of more than four bytes");
  }
};

std::vector<StandardEvent> ReadEvents(std::string_view data, StandardFile& file) {
  Cursor in{data};
  std::vector<StandardEvent> events;
  std::uint64_t tick = 0;
  int running = 0;
  for (;;) {
    tick += in.VariableLength();
    StandardEvent event{tick, in.Byte(), ""};
    if (event.status < 0x80) {  // running status: the byte read is the first data byte
      if (running == 0) in.Fail("holds a data byte where a status byte belongs");
      event.data.push_back(static_cast<char>(event.status));
      event.status = running;
    } else {
      running = event.status <= 0xEF ? event.status : 0;
    }
    const int kind = event.status & 0xF0;
    if (event.status == 0xF0 || event.status == 0xF7) {
      event.data = in.Take(in.VariableLength());
    } else if (event.status == 0xFF) {
      event.data.push_back(static_cast<char>(in.Byte()));
      event.data += in.Take(in.VariableLength());
    } else if (event.status > 0xF0) {
      in.Fail("holds the status byte " + std::to_string(event.status));
    } else {
      while (event.data.size() < (kind == 0xC0 || kind == 0xD0 ? 1u : 2u)) event.data.push_back(static_cast<char>(in.Byte()));
    }
    events.push_back(event);
    if (event.status == 0xFF && event.data[0] == 0x2F) {
      if (!in.AtEnd()) in.Fail("goes on after its end of track");
      file.longest_number = std::max(file.longest_number, in.longest);
      file.shortest_numbers = file.shortest_numbers && !in.padded;
      return events;
    }
  }
}

}  // namespace

StandardFile ReadStandardFile(std::string_view bytes) {
  Cursor in{bytes};
  StandardFile file;
  if (in.Take(4) != "MThd") in.Fail("has no header");
  if (in.BigEndian32() != 6) in.Fail("has a header of another length");
  file.header = std::string(bytes.substr(0, 14));
  in.Take(6);
  while (!in.AtEnd()) {
    StandardChunk chunk;
    chunk.id = in.Take(4);
    chunk.data = in.Take(in.BigEndian32());
    if (chunk.id == "MTrk") chunk.events = ReadEvents(chunk.data, file);
    file.chunks.push_back(std::move(chunk));
  }
  return file;
}

std::vector<std::string> TrackMusic(std::string_view file, int track) {
  const StandardFile read = ReadStandardFile(file);
  std::vector<std::string> music = {ToHex(read.header)};
  int tracks = 0;
  for (const StandardChunk& chunk : read.chunks) {
    if (chunk.id != "MTrk" || ++tracks != track) {
      music.push_back(chunk.id + " " + ToHex(chunk.data));
      continue;
    }
    music.push_back(chunk.id);
    for (const StandardEvent& event : chunk.events)
      music.push_back(std::to_string(event.tick) + " " + ToHex(static_cast<char>(event.status) + event.data));
  }
  return music;
}

}  // namespace quavert::testing
