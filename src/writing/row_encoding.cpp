#include "writing/row_encoding.h"

#include <cstdint>

#include "decoding/delta_time.h"
#include "decoding/event_rows.h"
#include "decoding/meta_types.h"
#include "decoding/tempo.h"
#include "writing/meta_writer.h"

namespace quavert {
namespace {

constexpr std::int32_t kLargestByte = 255;

bool IsByte(std::int32_t value) { return value >= 0 && value <= kLargestByte; }

int DataByte(const std::string& data, std::size_t index) { return static_cast<std::uint8_t>(data[index]); }

bool IsPlaceholder(const EventRecord& row) {
  return row.MetaMark == kMetaPlaceholderMark && row.Status == -1 && row.Data1 == -1 && row.Data2 == -1;
}

bool ChannelRowFits(const EventRecord& row, const ScannedEvent& event) {
  // A row may give a running event its status byte back (after an insert or delete before it).
  const bool status_given = event.running && row.Status == event.status;
  if ((row.Status != RowStatus(event) && !status_given) || row.MetaMark != -1) return false;
  if (!IsByte(row.Data1)) return false;
  return ChannelDataBytes(event.status) == 2 ? IsByte(row.Data2) : row.Data2 == -1;
}

bool MetaRowFits(const EventRecord& row, const ScannedEvent& event) {
  switch (event.meta_type) {
    case kMetaText:
    case kMetaLyric:
    case kMetaMarker: return IsPlaceholder(row);
    case kMetaTempo: return row.Status == kTempoRowStatus && row.MetaMark == -1;
    case kMetaTimeSignature:
      return row.Status == kTimeSignatureRowStatus && row.MetaMark == -1 && IsByte(row.Data1) &&
             event.data.size() >= 4;
    default: return false;
  }
}

}  // namespace

bool RowFitsEvent(const EventRecord& row, const ScannedEvent& event) {
  if (row.Delta < 0 || row.Delta > kLargestDeltaTime) return false;
  switch (event.kind) {
    case ScannedKind::kChannel: return ChannelRowFits(row, event);
    case ScannedKind::kSysex: return row.Status == event.status && row.MetaMark == -1;
    case ScannedKind::kMeta: return MetaRowFits(row, event);
    case ScannedKind::kCutChannel:
    case ScannedKind::kEndOfTrack:
    case ScannedKind::kStray: return false;
  }
  return false;
}

bool KeepsOriginalBytes(const EventRecord& row, const ScannedEvent& event) {
  if (event.kind != ScannedKind::kMeta) return false;
  switch (event.meta_type) {
    case kMetaText:
    case kMetaLyric:
    case kMetaMarker: return true;
    case kMetaTempo: return row.Data1 == BpmOfTempo(TempoOfBytes(event.data));
    case kMetaTimeSignature:
      return row.Data1 == DataByte(event.data, 0) && row.Data2 == (1 << DataByte(event.data, 1));
    default: return false;
  }
}

void AppendChannelRow(std::string& out, const EventRecord& row) {
  for (const std::int32_t value : {row.Status, row.Data1, row.Data2})
    if (value >= 0) out.push_back(static_cast<char>(value));
}

void AppendRebuiltMeta(std::string& out, const EventRecord& row, const ScannedEvent& event) {
  if (row.Status == kTempoRowStatus) {
    AppendTempoEvent(out, row.Data1);
  } else {
    AppendTimeSignatureEvent(out, row.Data1, row.Data2, DataByte(event.data, 2), DataByte(event.data, 3));
  }
}

}  // namespace quavert
