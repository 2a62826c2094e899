#include "commands/track_selection.h"

#include "app/session.h"
#include "commands/event_list.h"
#include "commands/block.h"
#include "commands/track_decoder.h"

namespace quavert {

void Combo1Click(Session& session, int selected_index) {
  // A chooser that was just emptied reports no selection; there is nothing to decode then.
  if (!session.file.FileLoaded || selected_index < 0) return;
  session.controls.FileCommands = true;
  session.controls.Notes = true;
  session.controls.SaveTrack = false;
  ClearEventList(session);
  session.file.CurrentTrack = selected_index + 1;
  ShowControls(session);
  DecodeTrack(session);
  if (session.file.LoadState == kLoadFailed) Block(session, 0);
}

}  // namespace quavert
