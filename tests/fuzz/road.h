#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quavert::fuzz {

/// The folders one road runs in. Each must exist; the road empties them first (the application
/// folder keeps its genmidi.ini).
struct RoadFolders {
  std::string App;      ///< the application folder: genmidi.ini, logs/, and what the program keeps
  std::string User;     ///< the user's folder: the file opened and the "Save Midi..." target
  std::string Current;  ///< the process's current folder during the road; nothing may appear in it
};

/// What one road saw and which of its checks failed.
struct RoadOutcome {
  bool Loaded = false;                ///< the input loaded
  int Tracks = 0;                     ///< tracks found by the load
  int ListsBuilt = 0;                 ///< tracks whose event list was built
  int CellEdits = 0;                  ///< edits ended in a cell
  int RowEdits = 0;                   ///< inserts and deletes tried
  int Undone = 0;                     ///< tracks whose steps were all taken back and made again
  int TracksSaved = 0;                ///< tracks "Save Track" wrote
  bool EditFrameSaved = false;        ///< the Edit frame's "Save" wrote a value
  bool MidiSaved = false;             ///< "Save Midi..." wrote its target
  int ValidFilesSaved = 0;            ///< 1 when the input was a valid file whose tracks were saved unedited first
  std::vector<std::string> Messages;  ///< every message box, in order
  std::vector<std::string> Faults;    ///< each failed check in words; empty when all held
};

/// Opens `input` as a file of the user's (the media player measuring its length first) and drives
/// the program's handlers over it as a user would: every track chosen, every list built that can be, a few cell edits,
/// inserts and deletes, "Save Track", every step taken back and made again, the
/// Edit frame's "Save", "Save Midi..." into the user's folder, and finally another, sound file
/// opened. Questions, cells, typed texts and which commands run are decided by the input's own
/// bytes. Then checks what must hold whatever the input: the user's file unchanged, the working
/// copy unchanged unless the program was told to change it (and then changed only where it was
/// told), a working copy that walked at the load still walks, the saved file a copy of the
/// working copy, no file left behind or written outside the application folder and the chosen
/// target, no run-time error shown, and the program still able to load a sound file.
/// A failure of the program itself (an exception escaping a handler) is not caught.
/// When `decisions` is not empty, the road's decisions come from its bytes instead, so that
/// one file can be driven down many roads.
RoadOutcome RunRoad(const RoadFolders& folders, std::string_view input, std::string_view decisions = {});

/// Makes the three folders under `root` and copies `genmidi_source` (when neither null nor empty) into
/// the application folder.
RoadFolders MakeRoadFolders(const std::string& root, const char* genmidi_source);

}  // namespace quavert::fuzz
