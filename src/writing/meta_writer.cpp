#include "writing/meta_writer.h"


#include "common/run_error.h"
#include "decoding/tempo.h"

namespace quavert {
namespace {

constexpr char kMetaStatus = static_cast<char>(0xFF);
constexpr char kTempoType = 0x51;
constexpr char kTimeSignatureType = 0x58;
constexpr std::int64_t kLargestByte = 255;

void AppendByte(std::string& out, std::int64_t value) {
  if (value < 0 || value > kLargestByte) throw RunError(kOverflow);
  out.push_back(static_cast<char>(value));
}

}  // namespace

std::int64_t TempoMicroseconds(std::int64_t bpm) {
  if (bpm <= 0) return kLargestTempo;
  const double tempo = TempoOfBpm(bpm);
  if (tempo > static_cast<double>(kLargestTempo)) return kLargestTempo;
  if (tempo < 1) return 1;
  return static_cast<std::int64_t>(tempo);
}

void AppendTempoEvent(std::string& out, std::int64_t bpm) {
  const std::int64_t tempo = TempoMicroseconds(bpm);
  out += kMetaStatus;
  out += kTempoType;
  out += '\x03';
  out.push_back(static_cast<char>(tempo >> 16 & 0xFF));
  out.push_back(static_cast<char>(tempo >> 8 & 0xFF));
  out.push_back(static_cast<char>(tempo & 0xFF));
}

int DenominatorPower(std::int64_t denominator) {
  int power = 0;
  for (double value = static_cast<double>(denominator); value > 1; value /= 2) ++power;
  return power;
}

void AppendTimeSignatureEvent(std::string& out, std::int64_t numerator, std::int64_t denominator, int clocks,
                              int thirty_seconds) {
  out += kMetaStatus;
  out += kTimeSignatureType;
  out += '\x04';
  AppendByte(out, numerator);
  AppendByte(out, DenominatorPower(denominator));
  AppendByte(out, clocks);
  AppendByte(out, thirty_seconds);
}

}  // namespace quavert
