#include "smf_walk.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <tuple>

namespace quavert::testing {

WalkedFile WalkSmf(std::string_view bytes) {
  std::size_t at = 0, end = bytes.size();
  const auto require = [&](bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what + " at offset " + std::to_string(at));
  };
  const auto byte = [&] {
    require(at < end, "a read past the end");
    return static_cast<int>(static_cast<unsigned char>(bytes[at++]));
  };
  const auto big = [&](int size) {
    std::uint32_t value = 0;
    while (size-- > 0) value = value << 8 | static_cast<std::uint32_t>(byte());
    return value;
  };
  const auto data = [&] {
    const int value = byte();
    require(value < 0x80, "a data byte of 128 or more");
    return value;
  };
  // A number in its shortest form within the three bytes (21 bits) the program reads.
  const auto number = [&] {
    const std::size_t start = at;
    std::uint32_t value = 0;
    for (int next = 0x80; next >= 0x80; value = value << 7 | static_cast<std::uint32_t>(next & 0x7F)) {
      next = byte();
      require(at != start + 1 || next != 0x80, "a number not in its shortest form");
    }
    require(at - start <= 3, "a number longer than the program reads");
    return value;
  };
  const auto skip = [&](std::uint32_t count) {
    require(end - at >= count, "data running past the end");
    at += count;
  };

  require(bytes.substr(0, 8) == std::string_view("MThd\0\0\0\6", 8), "no header of length 6");
  at = 8;
  WalkedFile file;
  file.format = static_cast<int>(big(2));
  const std::uint32_t tracks = big(2), division = big(2);
  require(file.format == 1 || (file.format == 0 && tracks == 1), "a format other than 0 with one track, or 1");
  require(division >= 1 && division <= 0x7FFF, "a division the program refuses");
  while (at < bytes.size()) {
    end = bytes.size();
    require(bytes.substr(at, 4) == "MTrk", "a chunk other than MTrk");
    skip(4);
    const std::uint32_t length = big(4);
    skip(length);
    std::tie(at, end) = std::pair(at - length, at);
    auto& events = file.tracks.emplace_back();
    for (int running = -1; events.empty() || events.back().meta != 0x2F;) {
      require(at < end, "a track without FF 2F 00 at its end");
      number();
      WalkedEvent event{byte()};
      const bool has_status = event.status >= 0x80;
      require(has_status || running >= 0, "a data byte where a status is due");
      if (!has_status) std::tie(event.status, event.data1, at) = std::tuple(running, event.status, at - 1);
      if (event.status == 0xFF) {
        event.meta = byte();
        const std::uint32_t size = number();
        require((event.meta == 0x7F || size < 128) && (event.meta != 0x2F || size == 0), "a meta length");
        skip(size);
      } else if (event.status == 0xF0 || event.status == 0xF7) {
        skip(number());
      } else {
        require(event.status < 0xF0, "a system message no file may hold");
        event.data1 = data();
        if (event.status < 0xC0 || event.status >= 0xE0) data();
      }
      running = event.status < 0xF0 ? event.status : -1;
      events.push_back(event);
    }
    require(at == end, "bytes after the end of track");
  }
  require(file.tracks.size() == tracks, "a track count other than the chunks'");
  return file;
}

}  // namespace quavert::testing
