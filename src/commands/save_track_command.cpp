#include <string>

#include "app/long_work.h"
#include "app/session.h"
#include "commands/media_commands.h"
#include "commands/save_track.h"
#include "commands/undo_commands.h"
#include "commands/writing_messages.h"

namespace quavert {

void SaveTrackCommand(Session& session) {
  session.ui.SetBusy(true);
  // Files are being written: the work cannot be stopped.
  LongWork work(session.ui, false);
  // The player lets go of the file it plays before the working copy is replaced.
  MciClose(session, kDeviceAlias);
  try {
    WorkingCopyCapture before = CaptureWorkingCopy(session);
    SaveTrack(session, &work);
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
