#include "commands/block.h"

#include "app/session.h"

namespace quavert {

void Block(Session& session, int flag) {
  for (Control control : {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                          Control::Text5, Control::Command2, Control::mnuPlay, Control::Toolbar2Button4})
    session.ui.SetEnabled(control, false);
  if (flag == 1) session.file.FileLoaded = false;
}

}  // namespace quavert
