#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/session.h"
#include "cli/console_toolkit.h"
#include "cli/options.h"
#include "cli/private_folder.h"
#include "cli/row_byte_cells.h"
#include "cli/silent_media_service.h"
#include "commands/event_list.h"

namespace quavert::cli {

/// One run of the companion: the core in a private application folder, driven from a terminal.
struct Companion {
  Companion(std::ostream& out, const Options& options);

  /// Opens `path` as the window's Open does (track 1 is decoded); true when it loaded and
  /// track 1 decoded.
  bool Open(const std::string& path);
  /// Selects `track` (1-based) as the track chooser does; true when it decoded.
  bool ChooseTrack(long track);
  /// The last load succeeded and the current track decoded (its failure blocks the commands).
  bool TrackDecoded() const;

  std::ostream& out;
  PrivateFolder folder;
  ConsoleToolkit ui;
  SilentMediaService media;
  Session session;
};

/// Builds the current track's event list as "Notes..." does, when the track has rows; with
/// `rows`, the rows go there and are not kept (see BuildEventList). True when it listed them.
bool BuildList(Companion& companion, ListedRows* rows = nullptr);
/// Prints Text2 a line per CR LF. With `encoding`, the texts are printed converted from it to
/// UTF-8. (quavert-cli list prints each row after it: five cells, trailing blanks removed,
/// separated by a TAB; with --bytes three more: the 0-based offset of its event in the file, its
/// bytes in hex and its absolute time in ticks, empty for a row that stands for no single event.)
void PrintTrackText(Companion& companion, const std::optional<TextEncoding>& encoding = std::nullopt);
/// The same for a text of Text2's kind, onto `out`.
void PrintTrackText(std::ostream& out, const std::string& text2, const std::optional<TextEncoding>& encoding);

int Check(const Options& options, std::ostream& out);
int List(const Options& options, std::ostream& out);
int Edit(const Options& options, std::ostream& out, std::ostream& err);
int Report(const Options& options, std::ostream& out);
/// Lints each file: a line per problem and a summary line; 1 when a file has an error or cannot be read.
int LintFiles(const Options& options, std::ostream& out, std::ostream& err);
/// Renders FILE to a WAV file; says why not on `err` (FluidSynth only, without the session).
int Render(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace quavert::cli
