#include "standard_reader.h"

#include <cstdio>

namespace quavert::testing {
namespace {

class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

  bool AtEnd() const { return at_ >= bytes_.size(); }
  std::size_t Offset() const { return at_; }

  int Byte() {
    if (AtEnd()) Fail("runs past its end");
    return static_cast<std::uint8_t>(bytes_[at_++]);
  }
  std::string Take(std::uint64_t count) {
    if (count > bytes_.size() - at_) Fail("runs past its end");
    std::string out(bytes_.substr(at_, count));
    at_ += count;
    return out;
  }
  std::uint32_t BigEndian(int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | static_cast<std::uint32_t>(Byte());
    return value;
  }
  std::uint32_t VariableLength() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const int byte = Byte();
      value = value << 7 | static_cast<std::uint32_t>(byte & 0x7F);
      if (byte < 0x80) return value;
    }
    Fail("has a variable-length number of more than four bytes");
  }
  [[noreturn]] void Fail(const std::string& what) const {
    throw StandardReadError("at offset " + std::to_string(at_) + ": the data " + what);
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

int DataBytesOf(int status) {
  const int kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

std::vector<StandardEvent> ReadEvents(std::string_view data) {
  Cursor in(data);
  std::vector<StandardEvent> events;
  std::uint64_t tick = 0;
  int running = 0;
  for (;;) {
    tick += in.VariableLength();
    StandardEvent event;
    event.tick = tick;
    int byte = in.Byte();
    if (byte < 0x80) {
      if (running == 0) in.Fail("holds a data byte where a status byte belongs");
      event.status = running;
      event.data.push_back(static_cast<char>(byte));
      if (DataBytesOf(running) == 2) event.data.push_back(static_cast<char>(in.Byte()));
    } else if (byte <= 0xEF) {
      running = byte;
      event.status = byte;
      for (int i = 0; i < DataBytesOf(byte); ++i) event.data.push_back(static_cast<char>(in.Byte()));
    } else if (byte == 0xF0 || byte == 0xF7) {
      running = 0;
      event.status = byte;
      event.data = in.Take(in.VariableLength());
    } else if (byte == 0xFF) {
      running = 0;
      event.status = byte;
      const int type = in.Byte();
      event.data.push_back(static_cast<char>(type));
      event.data += in.Take(in.VariableLength());
      events.push_back(event);
      if (type == 0x2F) {
        if (!in.AtEnd()) in.Fail("goes on after its end of track");
        return events;
      }
      continue;
    } else {
      in.Fail("holds the status byte " + std::to_string(byte));
    }
    events.push_back(event);
  }
}

}  // namespace

StandardFile ReadStandardFile(std::string_view bytes) {
  Cursor in(bytes);
  StandardFile file;
  if (in.Take(4) != "MThd") in.Fail("has no header");
  const std::uint32_t header_length = in.BigEndian(4);
  if (header_length != 6) in.Fail("has a header of another length");
  file.header = std::string(bytes.substr(0, 14));
  in.Take(6);
  while (!in.AtEnd()) {
    StandardChunk chunk;
    chunk.id = in.Take(4);
    chunk.data = in.Take(in.BigEndian(4));
    if (chunk.id == "MTrk") chunk.events = ReadEvents(chunk.data);
    file.chunks.push_back(std::move(chunk));
  }
  return file;
}

std::string Describe(const std::vector<StandardEvent>& events) {
  std::string out;
  char hex[4];
  for (const StandardEvent& event : events) {
    out += std::to_string(event.tick);
    std::snprintf(hex, sizeof hex, " %02X", event.status);
    out += hex;
    for (char c : event.data) {
      std::snprintf(hex, sizeof hex, " %02X", static_cast<unsigned>(static_cast<std::uint8_t>(c)));
      out += hex;
    }
    out += '\n';
  }
  return out;
}

}  // namespace quavert::testing
