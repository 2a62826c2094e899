#include "support/session_fixture.h"

#include <sys/stat.h>

#include <cstdlib>

#include "commands/event_list.h"
#include "commands/load_driver.h"
#include "commands/track_selection.h"

namespace quavert::testing {

bool InstallGenmidi(const std::string& folder) {
  const char* source = std::getenv("QUAVERT_GENMIDI");
  if (source == nullptr) return false;
  const std::string bytes = ReadFileBytes(source);
  if (bytes.empty()) return false;
  WriteFileBytes(folder + "/genmidi.ini", bytes);
  return true;
}

SessionTest::SessionTest() : session(app.Path(), ui, media) {
  ::mkdir(app.Join("logs").c_str(), 0755);
  InstallGenmidi(app.Path());
}

std::string SessionTest::UserFile(std::string_view name, std::string_view bytes) { return user.Write(name, bytes); }

void SessionTest::Load(const Bytes& bytes) { OpenMidiFile(session, UserFile("SONG.MID", bytes)); }

void SessionTest::Choose(int number) { Combo1Click(session, number - 1); }

std::string SessionTest::AppFileBytes(std::string_view name) const { return ReadFileBytes(app.Join(name)); }

std::vector<ListItem> SessionTest::ShownItems() const {
  std::vector<ListItem> items;
  for (std::int64_t row = 0; row < ui.ListRows; ++row) items.push_back(session.shown.Item(session.buffers.Rows, row));
  return items;
}

std::vector<ListRow> SessionTest::ListedTexts() const {
  std::vector<ListRow> texts;
  for (std::int64_t row = 0; row < session.buffers.Rows.size(); ++row) texts.push_back(session.buffers.Rows.Texts(row));
  return texts;
}

std::string SessionTest::Cell(std::int64_t item, int column) const { return ListCellText(session, item, column); }

std::vector<std::string> SessionTest::DeviceReopened() const {
  return {"Close REDevid1 notify",
          "Open " + app.Join(kWorkCopyName) + " type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify",
          "Put REDevid1 window at 0 0 320 40 notify"};
}

}  // namespace quavert::testing
