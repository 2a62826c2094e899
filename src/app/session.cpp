#include "app/session.h"

#include <utility>

#include "common/app_folder.h"
#include "common/file_system.h"

namespace quavert {

Session::Session(std::string app_folder, Toolkit& toolkit, MediaService& media_service)
    : AppFolder(std::move(app_folder)), SettingsFile(JoinPath(AppFolder, kSettingsFileName)), ui(toolkit),
      media(media_service) {}

std::string Session::AppPath(std::string_view name) const { return JoinPath(AppFolder, name); }

std::string Session::WorkCopyPath() const { return AppPath(file.WorkCopyName); }

ListShown TakeListShown(Session& session) {
  return {std::exchange(session.buffers, {}), std::exchange(session.shown, {}), session.undo.List()};
}

void PutListShownBack(Session& session, ListShown list) {
  session.buffers = std::move(list.Buffers);
  session.shown = std::move(list.Shown);
  session.undo.ListBack(list.UndoList);
  session.ui.ListReset(session.shown.Rows());
}

void ShowControls(Session& session) { ShowControls(session.ui, session.controls); }

void CloseAllFiles(Session& session) { session.report.Close(); }

}  // namespace quavert
