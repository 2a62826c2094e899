#include "smf_walk.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quavert::testing {
namespace {

constexpr std::uint32_t kLongestNumber = 0x1FFFFF;  // three bytes of seven bits

[[noreturn]] void Fail(const std::string& what, std::size_t offset) {
  throw std::runtime_error(what + " at offset " + std::to_string(offset));
}

struct Reader {
  std::string_view bytes;
  std::size_t at;
  std::size_t end;

  int Byte() {
    if (at >= end) Fail("a read past the end", at);
    return static_cast<unsigned char>(bytes[at++]);
  }
  std::uint32_t Big(int size) {
    std::uint32_t value = 0;
    while (size-- > 0) value = value << 8 | static_cast<std::uint32_t>(Byte());
    return value;
  }
  int Data() {
    const int byte = Byte();
    if (byte > 0x7F) Fail("a data byte of 128 or more", at - 1);
    return byte;
  }
  std::uint32_t Number() {
    const std::size_t start = at;
    std::uint32_t value = 0;
    for (int byte = 0x80; byte >= 0x80;) {
      byte = Byte();
      if (at == start + 1 && byte == 0x80) Fail("a number not in its shortest form", start);
      if (at > start + 4) Fail("a number of more than four bytes", start);
      value = value << 7 | static_cast<std::uint32_t>(byte & 0x7F);
    }
    if (value > kLongestNumber) Fail("a number longer than the program reads", start);
    return value;
  }
  void Skip(std::uint32_t count) {
    if (end - at < count) Fail("data running past the end", at);
    at += count;
  }
};

std::vector<WalkedEvent> WalkTrack(Reader in) {
  std::vector<WalkedEvent> events;
  for (int running = -1;;) {
    if (in.at >= in.end) Fail("a track without FF 2F 00 at its end", in.at);
    in.Number();
    WalkedEvent event;
    event.status = in.Byte();
    if (event.status < 0x80) {
      if (running < 0) Fail("a data byte where a status is due", in.at - 1);
      event = {running, event.status, -1, -1, true};
    }
    if (event.status == 0xFF) {
      event.meta = in.Byte();
      const std::uint32_t length = in.Number();
      if ((event.meta != 0x7F && length > 127) || (event.meta == 0x2F && length != 0)) Fail("a meta length", in.at);
      in.Skip(length);
    } else if (event.status == 0xF0 || event.status == 0xF7) {
      in.Skip(in.Number());
    } else if (event.status > 0xF0) {
      Fail("a system message no file may hold", in.at - 1);
    } else {
      if (!event.running) event.data1 = in.Data();
      if (event.status < 0xC0 || event.status >= 0xE0) event.data2 = in.Data();
    }
    running = event.status < 0xF0 ? event.status : -1;
    events.push_back(event);
    if (event.meta == 0x2F) {
      if (in.at != in.end) Fail("bytes after the end of track", in.at);
      return events;
    }
  }
}

}  // namespace

WalkedFile WalkSmf(std::string_view bytes) {
  if (bytes.substr(0, 8) != std::string_view("MThd\0\0\0\6", 8)) Fail("no header of length 6", 0);
  Reader file_reader{bytes, 8, bytes.size()};
  WalkedFile file;
  file.format = static_cast<int>(file_reader.Big(2));
  const std::uint32_t tracks = file_reader.Big(2);
  file.division = static_cast<int>(file_reader.Big(2));
  if (file.format > 1 || (file.format == 0 && tracks != 1)) Fail("a format other than 0 with one track, or 1", 8);
  if (file.division < 1 || file.division > 0x7FFF) Fail("a division the program refuses", 12);
  while (file_reader.at < bytes.size()) {
    const std::size_t chunk = file_reader.at;
    if (bytes.substr(chunk, 4) != "MTrk") Fail("a chunk other than MTrk", chunk);
    file_reader.Skip(4);
    const std::uint32_t length = file_reader.Big(4);
    if (bytes.size() - file_reader.at < length) Fail("a track running past the end of the file", chunk);
    file.tracks.push_back(WalkTrack({bytes, file_reader.at, file_reader.at + length}));
    file_reader.Skip(length);
  }
  if (file.tracks.size() != tracks) Fail("a track count other than the chunks'", 10);
  return file;
}

}  // namespace quavert::testing
