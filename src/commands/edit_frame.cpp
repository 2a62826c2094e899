#include "commands/edit_frame.h"

#include <optional>
#include <string>

#include "app/media_service.h"
#include "app/session.h"
#include "commands/media_commands.h"
#include "commands/undo_commands.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "decoding/byte_patcher.h"

namespace quavert {
namespace {

constexpr double kSlowestTempo = 50;
constexpr double kFastestTempo = 500;
// The header's division field holds ticks per quarter note in 15 bits.
constexpr double kFewestTicks = 1;
constexpr double kMostTicks = 32767;

constexpr const char* kTempoRange = "Tempo must be between 50 and 500";
constexpr const char* kTicksRange = "Delta must be between 1 and 32767";

// The leading number of a typed text; nothing when it is too large to be a number at all.
std::optional<double> TypedValue(std::string_view text) {
  try {
    return LeadingNumber(text);
  } catch (const RunError&) {
    return std::nullopt;
  }
}

std::optional<std::int32_t> AcceptedTempo(Session& session, std::string_view text) {
  if (session.decoder.TempoBpm == -1) return std::nullopt;
  const std::optional<double> x = TypedValue(text);
  if (x && *x >= kSlowestTempo && *x <= kFastestTempo) return ToLong(*x);
  session.ui.MessageBox(kTempoRange);
  return std::nullopt;
}

std::optional<int> AcceptedTicks(Session& session, std::string_view text) {
  const std::optional<double> x = TypedValue(text);
  const double ticks = x ? RoundHalfEven(*x) : 0;
  if (ticks >= kFewestTicks && ticks <= kMostTicks) return static_cast<int>(ticks);
  session.ui.MessageBox(kTicksRange);
  return std::nullopt;
}

// "Tempo 120 -> 100", "Ticks 96 -> 192", or both: what the Save changed.
std::string SaveStepName(const WorkingCopyState& before, const Session& session) {
  std::string name;
  if (before.TempoBpm != session.decoder.TempoBpm)
    name = "Tempo " + PlainNumber(before.TempoBpm) + " -> " + PlainNumber(session.decoder.TempoBpm);
  if (before.DeltaTicks != session.file.DeltaTicks)
    name += (name.empty() ? "" : ", ") + std::string("Ticks ") + PlainNumber(before.DeltaTicks) + " -> " +
            PlainNumber(session.file.DeltaTicks);
  return name.empty() ? "Edit Save" : name;
}

}  // namespace

void Command2Click(Session& session, std::string_view tempo_text, std::string_view ticks_text) {
  Toolkit& ui = session.ui;
  ui.SetBusy(true);
  MciClose(session, kDeviceAlias);

  const std::optional<std::int32_t> tempo = AcceptedTempo(session, tempo_text);
  const std::optional<int> ticks = AcceptedTicks(session, ticks_text);
  bool written = false;
  WorkingCopyCapture before;
  if (tempo || ticks) before = CaptureWorkingCopy(session);
  if (tempo || ticks) {
    const std::string path = session.WorkCopyPath();
    // The first value that cannot be written stops the other: the same copy would refuse it too.
    try {
      if (tempo) {
        ApplyPatch(path, TempoPatch(session.decoder.TempoPos, *tempo));
        session.decoder.TempoBpm = *tempo;
        written = true;
      }
      if (ticks) {
        ApplyPatch(path, DivisionPatch(*ticks));
        session.file.DeltaTicks = *ticks;
        written = true;
      }
    } catch (const RunError& error) {
      written = false;  // one message, not a contradicting "Data saved!" after it
      ui.MessageBox("ERROR: Data not saved: " + path + " (" + error.reason() + ")");
    }
  }
  if (written) RecordWorkingCopyStep(session, before, SaveStepName(before.State, session));
  if (written) ui.MessageBox("Data saved!");

  MciOpenInFrame(session, session.WorkCopyPath(), kDeviceAlias);
  ui.SetBusy(false);
}

}  // namespace quavert
