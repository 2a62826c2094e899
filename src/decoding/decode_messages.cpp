#include "decoding/decode_messages.h"

#include "common/number_text.h"

namespace quavert {

std::string ProblemMessage(const ScannedEvent& event) {
  switch (event.problem) {
    case ScanProblem::kNone: return "";
    case ScanProblem::kInvalidInstrument: return "ERROR: Invalid Instrument";
    case ScanProblem::kInvalidMetaType: return "Invalid byte:" + SignedNumber(event.meta_type);
    case ScanProblem::kInvalidChannelPrefix: return "ERROR: Invalid Channel Prefix";
    case ScanProblem::kInvalidTempo: return "ERROR: Invalid Tempo";
    case ScanProblem::kInvalidTimeSignature: return "ERROR: Invalid Time Signature";
    case ScanProblem::kInvalidKeySignature: return "ERROR: Invalid Key Signature";
  }
  return "";
}

std::string RunErrorMessage(int code) { return "Error:" + SignedNumber(code); }

}  // namespace quavert
