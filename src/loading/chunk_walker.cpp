#include "loading/chunk_walker.h"

#include <algorithm>
#include <array>

#include "common/binary_file.h"
#include "common/block_copy.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "session/session.h"

namespace quavert {
namespace {

constexpr std::array<std::uint8_t, 4> kTrackId = {'M', 'T', 'r', 'k'};
constexpr std::array<std::uint8_t, 3> kEndOfTrack = {0xFF, 0x2F, 0x00};

// The last three bytes of the data skipped so far, however the blocks cut them.
struct Tail {
  std::array<std::uint8_t, 3> bytes{};
  std::int64_t seen = 0;

  void Add(const std::string& block) {
    for (char c : block) {
      bytes = {bytes[1], bytes[2], static_cast<std::uint8_t>(c)};
      ++seen;
    }
  }
  bool IsEndOfTrack() const { return seen >= 3 && bytes == kEndOfTrack; }
};

// Entry TrackCount + 1 of TrackStart: where the tracks read so far end. A 73rd track has no
// room for it.
void SetEndOfTable(TrackTable& table, std::int64_t position) {
  const int next = table.TrackCount + 1;
  if (next >= static_cast<int>(table.TrackStart.size())) throw RunError(kIndexOutOfRange);
  table.TrackStart[static_cast<std::size_t>(next)] = position;
}

void ShowTrackMessage(Session& session, const std::string& what, int track) {
  session.ui.MessageBox(session.file.ShortName + what + SignedNumber(track) + ")");
}

}  // namespace

void WalkTrackChunks(Session& session) {
  LoadedFile& file = session.file;
  TrackTable& table = session.tracks;
  BlockIo io;

  table.TrackCount = 0;
  BinaryFile work(session.WorkCopyPath(), BinaryFile::Mode::kRead);
  work.Read(&file.Header, sizeof file.Header);

  Tail tail;
  for (;;) {
    const int next = table.TrackCount + 1;
    SetEndOfTable(table, work.Position());

    if (table.TrackCount > 0 && !tail.IsEndOfTrack()) {
      work.Close();
      CloseAllFiles(session);
      ShowTrackMessage(session, ": Invalid Track Length (", table.TrackCount);
      file.LoadState = kLoadFailed;
      return;
    }

    if (work.Position() - 1 == file.FileSize) break;

    TrackChunk& chunk = table.TrackChunks[next];
    chunk = TrackChunk{};
    work.Read(&chunk, sizeof chunk);
    if (chunk.Id != kTrackId && !work.PastEnd()) {
      if (table.TrackCount == file.TotalTracks)
        session.ui.MessageBox(file.ShortName + ":\r\nProbably unnecessary bytes at end of file. File should be OK.");
      else
        ShowTrackMessage(session, ": Invalid Track ID (", next);
      session.ui.DoEvents();
      break;
    }

    table.TrackCount = next;
    io.BytesLeft = chunk.DataLength(file.FileSize - (work.Position() - 1));
    tail = Tail{};
    do {
      NextBlock(io);
      io.BlockBuffer.resize(work.Read(io.BlockBuffer.data(), io.BlockBuffer.size()));
      tail.Add(io.BlockBuffer);
    } while (io.BytesLeft >= 1);

    if (work.PastEnd()) {
      // A track cut short by the end of the file still ends somewhere: just after the file's
      // last byte. The repair and the track writer take the track's end from here.
      SetEndOfTable(table, work.Position());
      break;
    }
  }
  work.Close();
}

}  // namespace quavert
