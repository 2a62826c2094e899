#include "commands/block.h"

#include "app/session.h"

namespace quavert {

void Block(Session& session, int flag) {
  session.controls.FileCommands = false;
  session.controls.Notes = false;
  session.controls.Play = false;
  ShowControls(session);
  if (flag == 1) session.file.FileLoaded = false;
}

}  // namespace quavert
