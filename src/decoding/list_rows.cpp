#include "decoding/list_rows.h"

#include <cstring>
#include <limits>

#include "common/run_error.h"

namespace quavert {
namespace {

// Large enough that a block's few wasted bytes at its end do not count, small enough that the
// last, partly used block does not either.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
// A text of this length or more has its length in the next four bytes.
constexpr std::uint8_t kLongText = 0xFF;

std::size_t StoredSize(const ListRowTexts& texts) {
  std::size_t size = 0;
  for (std::string_view text : texts) size += (text.size() < kLongText ? 1 : 5) + text.size();
  return size;
}

char* PutLength(std::size_t length, char* out) {
  if (length < kLongText) {
    *out = static_cast<char>(length);
    return out + 1;
  }
  if (length > std::numeric_limits<std::uint32_t>::max()) throw RunError(kOverflow);
  *out++ = static_cast<char>(kLongText);
  const auto value = static_cast<std::uint32_t>(length);
  std::memcpy(out, &value, sizeof value);
  return out + sizeof value;
}

const char* GetLength(const char* in, std::size_t& length) {
  const auto first = static_cast<std::uint8_t>(*in++);
  if (first != kLongText) {
    length = first;
    return in;
  }
  std::uint32_t value = 0;
  std::memcpy(&value, in, sizeof value);
  length = value;
  return in + sizeof value;
}

// Copies `size` bytes; the short texts most rows hold move in a few fixed-size steps, without a
// call, by copies that may overlap within the text.
void CopyText(char* out, const char* in, std::size_t size) {
  if (size > 16) {
    std::memcpy(out, in, size);
  } else if (size >= 8) {
    std::memcpy(out, in, 8);
    std::memcpy(out + size - 8, in + size - 8, 8);
  } else if (size >= 4) {
    std::memcpy(out, in, 4);
    std::memcpy(out + size - 4, in + size - 4, 4);
  } else if (size > 0) {
    out[0] = in[0];
    out[size / 2] = in[size / 2];
    out[size - 1] = in[size - 1];
  }
}

}  // namespace

ListRows::ListRows(const ListRows& other) : places_(other.places_), current_(other.current_) {
  blocks_.reserve(other.blocks_.size());
  for (const Block& from : other.blocks_) {
    Block& block = blocks_.emplace_back();
    block.size = from.size;
    block.capacity = from.size;
    block.bytes = std::make_unique_for_overwrite<char[]>(from.size);
    if (from.size > 0) std::memcpy(block.bytes.get(), from.bytes.get(), from.size);
  }
}

ListRows& ListRows::operator=(const ListRows& other) {
  if (this != &other) *this = ListRows(other);
  return *this;
}

void ListRows::clear() {
  places_ = std::vector<Place>();
  blocks_ = std::vector<Block>();
  current_ = 0;
}

void ListRows::ClearForReuse() {
  places_.clear();
  for (Block& block : blocks_) block.size = 0;
  current_ = 0;
}

ListRows::Place ListRows::Store(const ListRowTexts& texts) {
  const std::size_t size = StoredSize(texts);
  // Blocks kept from earlier rows are filled in turn before a new one is taken.
  while (current_ < blocks_.size() && blocks_[current_].capacity - blocks_[current_].size < size) ++current_;
  if (current_ == blocks_.size()) {
    if (blocks_.size() >= std::numeric_limits<std::uint32_t>::max()) throw RunError(kOverflow);
    Block& block = blocks_.emplace_back();
    block.capacity = size > kBlockBytes ? size : kBlockBytes;
    // Left uninitialised: every byte is written before it is read.
    block.bytes = std::make_unique_for_overwrite<char[]>(block.capacity);
  }
  Block& block = blocks_[current_];
  const Place place{static_cast<std::uint32_t>(current_), static_cast<std::uint32_t>(block.size)};
  block.size += size;
  char* out = block.bytes.get() + place.offset;
  for (std::string_view text : texts) out = PutLength(text.size(), out);
  for (std::string_view text : texts) {
    CopyText(out, text.data(), text.size());
    out += text.size();
  }
  return place;
}

void ListRows::Append(const ListRowTexts& texts) {
  const Place place = Store(texts);
  places_.push_back(place);
}

ListRowTexts ListRows::Texts(std::size_t row) const {
  const Place place = places_[row];
  const char* in = blocks_[place.block].bytes.get() + place.offset;
  std::size_t lengths[5];
  for (std::size_t& length : lengths) in = GetLength(in, length);
  ListRowTexts texts;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    texts[i] = std::string_view(in, lengths[i]);
    in += lengths[i];
  }
  return texts;
}

const ListRow ListRows::operator[](std::size_t row) const {
  const ListRowTexts texts = Texts(row);
  return {std::string(texts[0]), std::string(texts[1]), std::string(texts[2]), std::string(texts[3]),
          std::string(texts[4])};
}

void ListRows::Set(std::size_t row, const ListRow& texts) {
  // The old texts stay where they are, unused: rows are replaced one edit at a time.
  places_[row] = Store(TextsOf(texts));
}

bool ListRows::operator==(const ListRows& other) const {
  if (size() != other.size()) return false;
  for (std::size_t row = 0; row < size(); ++row)
    if (Texts(row) != other.Texts(row)) return false;
  return true;
}

}  // namespace quavert
