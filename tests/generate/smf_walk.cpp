#include "generate/smf_walk.h"

namespace quavert::testing {
namespace {

constexpr std::uint32_t kLongestDelta = 0x1FFFFF;  // the program reads at most three bytes

class Cursor {
 public:
  Cursor(std::string_view bytes, std::size_t start, std::size_t end) : bytes_(bytes), at_(start), end_(end) {}

  std::size_t At() const { return at_; }
  bool AtEnd() const { return at_ >= end_; }
  int U8() {
    if (at_ >= end_) Fail("read past the end");
    return static_cast<unsigned char>(bytes_[at_++]);
  }
  std::uint32_t Big(int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | static_cast<std::uint32_t>(U8());
    return value;
  }
  std::string Take(std::size_t count) {
    if (end_ - at_ < count) Fail("data runs past the end");
    std::string out(bytes_.substr(at_, count));
    at_ += count;
    return out;
  }
  std::uint32_t Vlq() {
    const std::size_t start = at_;
    std::uint32_t value = 0;
    for (int count = 1;; ++count) {
      const int byte = U8();
      if (count == 1 && byte == 0x80) Fail("a variable-length quantity not in its shortest form", start);
      value = value << 7 | static_cast<std::uint32_t>(byte & 0x7F);
      if (byte < 0x80) break;
      if (count == 4) Fail("a variable-length quantity of more than four bytes", start);
    }
    if (value > kLongestDelta) Fail("a value of more than three bytes", start);
    return value;
  }
  int Data() {
    const int byte = U8();
    if (byte > 0x7F) Fail("a data byte of 128 or more", at_ - 1);
    return byte;
  }
  [[noreturn]] void Fail(const std::string& what) const { Fail(what, at_); }
  [[noreturn]] static void Fail(const std::string& what, std::size_t offset) {
    throw SmfFault(what + " at offset " + std::to_string(offset));
  }

 private:
  std::string_view bytes_;
  std::size_t at_;
  std::size_t end_;
};

int DataBytesOf(int status) { return status >= 0xC0 && status <= 0xDF ? 1 : 2; }

WalkedTrack WalkTrack(Cursor& in) {
  WalkedTrack track;
  std::uint64_t tick = 0;
  int running = -1;
  for (;;) {
    if (in.AtEnd()) in.Fail("a track without FF 2F 00 at its end");
    WalkedEvent event;
    tick += in.Vlq();
    event.tick = tick;
    int lead = in.U8();
    if (lead < 0x80) {
      if (running < 0) in.Fail("a data byte where a status is due", in.At() - 1);
      event.running_status = true;
      event.status = running;
      event.data1 = lead;
    } else {
      event.status = lead;
    }
    if (event.status == 0xFF) {
      event.meta_type = in.U8();
      const std::uint32_t length = in.Vlq();
      if (event.meta_type != 0x7F && length > 127) in.Fail("a meta event longer than its one length byte can say");
      event.data = in.Take(length);
      running = -1;
    } else if (event.status == 0xF0 || event.status == 0xF7) {
      event.data = in.Take(in.Vlq());
      running = -1;
    } else if (event.status >= 0xF1) {
      in.Fail("a system message that does not belong in a file", in.At() - 1);
    } else {
      if (!event.running_status) event.data1 = in.Data();
      if (DataBytesOf(event.status) == 2) event.data2 = in.Data();
      running = event.status;
    }
    track.events.push_back(event);
    if (event.meta_type == 0x2F) {
      if (!event.data.empty()) in.Fail("an end of track with data");
      if (!in.AtEnd()) in.Fail("bytes after the end of track");
      return track;
    }
  }
}

}  // namespace

WalkedFile WalkSmf(std::string_view bytes) {
  Cursor header(bytes, 0, bytes.size());
  if (header.Take(4) != "MThd") Cursor::Fail("no MThd", 0);
  if (header.Big(4) != 6) Cursor::Fail("a header length other than 6", 4);
  WalkedFile file;
  file.format = static_cast<int>(header.Big(2));
  file.declared_tracks = static_cast<int>(header.Big(2));
  file.division = static_cast<int>(header.Big(2));
  if (file.format > 1) Cursor::Fail("a format other than 0 or 1", 8);
  if (file.division < 1 || file.division > 0x7FFF) Cursor::Fail("a division the program refuses", 12);

  std::size_t at = header.At();
  while (at < bytes.size()) {
    Cursor chunk(bytes, at, bytes.size());
    if (chunk.Take(4) != "MTrk") Cursor::Fail("a chunk that is not MTrk", at);
    const std::uint32_t length = chunk.Big(4);
    if (bytes.size() - chunk.At() < length) Cursor::Fail("a track length running past the end of the file", at + 4);
    Cursor data(bytes, chunk.At(), chunk.At() + length);
    file.tracks.push_back(WalkTrack(data));
    at = chunk.At() + length;
  }
  if (static_cast<int>(file.tracks.size()) != file.declared_tracks) Cursor::Fail("a track count that does not match the chunks", 10);
  if (file.format == 0 && file.declared_tracks != 1) Cursor::Fail("format 0 with other than one track", 10);
  return file;
}

std::vector<WalkedEvent> ChannelEvents(const WalkedTrack& track) {
  std::vector<WalkedEvent> out;
  for (const WalkedEvent& event : track.events) {
    if (event.status >= 0x80 && event.status <= 0xEF) out.push_back(event);
  }
  return out;
}

}  // namespace quavert::testing
