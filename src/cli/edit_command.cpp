#include "cli/companion.h"
#include "commands/cell_edit.h"
#include "commands/edit_frame.h"
#include "commands/event_list.h"
#include "commands/save_as.h"
#include "commands/save_track.h"
#include "commands/undo_commands.h"
#include "common/number_text.h"

namespace quavert::cli {
namespace {

constexpr int kLeftButton = 1;

// An in-place edit as the window makes it: a click that opens the editor on the cell, then the
// end of the edit with the text as typed. False when the cell takes no edit.
bool EditCell(Companion& companion, const CellEdit& cell) {
  const int opened = companion.ui.EditorsOpened;
  CellClick(companion.session, cell.Item, cell.Column, kLeftButton, true);
  if (companion.ui.EditorsOpened == opened) return false;
  const std::string old_text = ListCellText(companion.session, cell.Item, cell.Column);
  CellEditDone(companion.session, cell.Item, cell.Column, old_text, cell.Text);
  return true;
}

}  // namespace

int Edit(const Options& options, std::ostream& out, std::ostream& err) {
  Companion companion(out, options);
  if (!companion.Open(options.Files.front()) || !companion.ChooseTrack(options.Track)) return 1;
  BuildList(companion);

  for (const EditAction& action : options.Actions) {
    if (action.What == EditAction::Kind::kDelete) {
      DeleteItems(companion.session, {action.Item});
    } else if (action.What == EditAction::Kind::kInsert) {
      InsertItem(companion.session, action.Item, action.Ticks, action.Hex);
    } else if (!EditCell(companion, action.Cell)) {
      err << "quavert-cli: item " << action.Cell.Item << " column " << action.Cell.Column << " has no value to edit\n";
      return 1;
    }
  }
  if (!options.Actions.empty() || options.SaveTrack) {
    if (!companion.session.controls.SaveTrack) {
      err << "quavert-cli: track " << options.Track << " has no rows to save\n";
      return 1;
    }
    SaveTrackCommand(companion.session);
  }
  if (options.Tempo || options.Ticks) {
    // An option not given stands for what the window's Edit frame shows: the tempo the decode
    // put there and the file's ticks per quarter note.
    const Session& session = companion.session;
    const std::string tempo = options.Tempo.value_or(session.decoder.TempoText);
    const std::string ticks = options.Ticks.value_or(PlainNumber(session.file.DeltaTicks));
    Command2Click(companion.session, tempo, ticks);
  }

  companion.ui.SavePath = options.Out;
  companion.ui.AnswerNextYes = true;
  SaveAs(companion.session);
  companion.ui.AnswerNextYes = false;
  out << "saved: " << options.Out << '\n';
  return 0;
}

}  // namespace quavert::cli
