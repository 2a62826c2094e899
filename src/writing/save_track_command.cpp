#include <string>

#include "editing/undo_commands.h"
#include "playback/media_commands.h"
#include "session/session.h"
#include "writing/save_track.h"
#include "writing/writing_messages.h"

namespace quavert {

void SaveTrackCommand(Session& session) {
  session.ui.SetBusy(true);
  // The player lets go of the file it plays before the working copy is replaced.
  MciClose(session, kDeviceAlias);
  try {
    WorkingCopyCapture before = CaptureWorkingCopy(session);
    SaveTrack(session);
    RecordWorkingCopyStep(session, std::move(before), "Save Track");
    session.ui.MessageBox(kDataSaved);
  } catch (const TrackNotSaved& failure) {
    session.ui.MessageBox(std::string(kTrackNotSaved) + kNewLine + failure.what());
  }
  // From now on playback plays the working copy, saved or as it was.
  MciOpenInFrame(session, session.WorkCopyPath(), kDeviceAlias);
  session.ui.SetBusy(false);
}

}  // namespace quavert
