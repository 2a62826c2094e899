#pragma once

namespace quavert {

struct Session;

/// The edits PatchFile makes, chosen by DecoderState::PatchKind.
enum PatchKindValue : int {
  kPatchDivision = 1,    ///< the header's ticks per quarter note (file.DeltaTicks) at bytes 13-14
  kPatchClocksByte = 2,  ///< the value 2 at TimeSigPatchPos - 2, a time signature's clocks byte
  kPatchFirstTempo = 3,  ///< the first tempo (TempoBpm, beats per minute) as three bytes at TempoPos
};

/// Overwrites one to three bytes of the working copy in place, as decoder.PatchKind says, then
/// sets PatchKind to 0. The working copy keeps its length. RunError 5 for another kind or for
/// bytes that would not lie inside the working copy, 6 for a value that does not fit its bytes
/// (or a tempo that would come out as 0), and the file errors of opening and writing.
void PatchFile(Session& session);

}  // namespace quavert
