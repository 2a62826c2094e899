#include "commands/lifecycle.h"

#include <array>
#include <string_view>

#include "app/session.h"
#include "commands/event_list.h"
#include "commands/guard.h"
#include "commands/load_driver.h"
#include "commands/media_commands.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/records.h"

namespace quavert {
namespace {

struct ColumnHeader {
  const char* Caption;
  int WidthTwips;  // 0: the list's default width
};

constexpr std::array<ColumnHeader, 5> kListColumns{{
    {"Channel", 0},
    {"Notes", 0},
    {"Volume", 0},
    {"Length", 0},
    {"Description", 5000},
}};

// A settings line longer than this names no file the system could open.
constexpr std::size_t kLongestSettingsLine = 64 * 1024;

// Start-up goes on after every step: a missing or inaccessible file (52, 53, 75) is expected and
// passed over silently, anything else is shown with its number.
template <typename Step>
void StartupStep(Session& session, Step&& step) {
  try {
    step();
  } catch (const RunError& failure) {
    const int code = failure.code();
    if (code == kBadFileNameOrNumber || code == kFileNotFound || code == kPathFileAccess) return;
    ShowErrorNumber(session, code);
  } catch (const std::exception& failure) {
    ShowErrorNumber(session, ErrorNumberOf(failure));
  }
}

// Shutdown passes over what fails: the program is closing and nobody is left to tell.
template <typename Step>
void ShutdownStep(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

void CreateEmptySettings(const std::string& path) {
  BinaryFile settings(path, BinaryFile::Mode::kCreate);
  settings.Write("\n");
  settings.Close();
}

}  // namespace

std::string ReadSettings(const std::string& path) {
  std::string line;
  try {
    BinaryFile settings(path, BinaryFile::Mode::kRead);
    std::array<char, 4096> block{};
    while (line.size() < kLongestSettingsLine) {
      const std::size_t got = settings.Read(block.data(), block.size());
      const std::string_view text(block.data(), got);
      const auto end = text.find('\n');
      line.append(text.substr(0, end));
      if (end != std::string_view::npos || got < block.size()) break;
    }
  } catch (const RunError& failure) {
    if (failure.code() == kFileNotFound) throw;
    return {};
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.find('\0') != std::string::npos) return {};
  return line;
}

void FormLoad(Session& session, const std::string& start_file) {
  StartupStep(session, [&] { MakeFolder(session.AppPath(kLogsFolderName)); });

  session.NotesDatMade = false;
  session.DataDatMade = false;

  StartupStep(session, [&] {
    ClearEventList(session);
    for (const ColumnHeader& column : kListColumns) session.ui.ListAddColumn(column.Caption, column.WidthTwips);
  });

  session.file.MidiPath.clear();
  StartupStep(session, [&] {
    const std::string path = session.SettingsFile;
    try {
      session.file.MidiPath = ReadSettings(path);
      session.view = ReadViewSettings(path);
    } catch (const RunError& failure) {
      if (failure.code() != kFileNotFound) throw;
      CreateEmptySettings(path);
    }
  });

  if (!start_file.empty()) {
    StartupStep(session, [&] {
      if (!FileExists(start_file)) {
        // Nothing is opened, and the file opened last stays remembered.
        if (!session.file.MidiPath.empty() && FileExists(session.file.MidiPath))
          session.file.LastOpenedPath = session.file.MidiPath;
        session.ui.MessageBox(NameOf(start_file) + " does not exist", Buttons::kOk, Icon::kExclamation);
        return;
      }
      session.file.LastOpenedPath = start_file;
      OpenMidiFile(session, start_file);
    });
    return;
  }
  StartupStep(session, [&] {
    if (session.file.MidiPath.empty() || !FileExists(session.file.MidiPath)) return;
    session.file.LastOpenedPath = session.file.MidiPath;
    // A copy: the open replaces MidiPath while it runs.
    const std::string remembered = session.file.MidiPath;
    OpenMidiFile(session, remembered);
  });
}

void End1(Session& session, const std::function<void()>& unhook) {
  ShutdownStep([&] { MciClose(session, kDeviceAlias); });
  ShutdownStep([&] {
    if (unhook) unhook();
  });
  ShutdownStep([&] { CloseAllFiles(session); });
  if (session.file.WorkCopyName.empty()) return;
  // Each deletion on its own: a working copy already gone must not keep notes.dat behind.
  ShutdownStep([&] { DeleteFile(session.WorkCopyPath()); });
  if (session.NotesDatMade) ShutdownStep([&] { DeleteFile(session.AppPath(kNotesDat)); });
  if (session.DataDatMade) ShutdownStep([&] { DeleteFile(session.AppPath(kDataDat)); });
}

void WriteSettings(Session& session) {
  ShutdownStep([&] {
    BinaryFile settings(session.SettingsFile, BinaryFile::Mode::kCreate);
    settings.Write(session.file.LastOpenedPath + "\n" + ViewSettingsLines(session.view));
    settings.Close();
  });
}

}  // namespace quavert
