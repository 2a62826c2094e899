#include "commands/chunk_walker.h"

#include "app/session.h"
#include "common/binary_file.h"
#include "common/number_text.h"
#include "loading/chunk_walk.h"

namespace quavert {
namespace {

void ShowTrackMessage(Session& session, const std::string& what, int track) {
  session.ui.MessageBox(session.file.ShortName + what + SignedNumber(track) + ")");
}

}  // namespace

void WalkTrackChunks(Session& session) {
  LoadedFile& file = session.file;
  session.tracks.TrackCount = 0;
  BinaryFile work(session.WorkCopyPath(), BinaryFile::Mode::kRead);
  const ChunkWalk walk = WalkChunks(work, file.FileSize, file.TotalTracks);
  work.Close();
  session.tracks = walk.Table;

  switch (walk.End) {
    case ChunkWalkEnd::kEndOfFile:
    case ChunkWalkEnd::kCutShort:
      break;
    case ChunkWalkEnd::kNoEndOfTrack:
      CloseAllFiles(session);
      ShowTrackMessage(session, ": Invalid Track Length (", walk.Track);
      file.LoadState = kLoadFailed;
      break;
    case ChunkWalkEnd::kTrailingBytes:
      session.ui.MessageBox(file.ShortName + ":\r\nProbably unnecessary bytes at end of file. File should be OK.");
      session.ui.DoEvents();
      break;
    case ChunkWalkEnd::kForeignChunk:
      ShowTrackMessage(session, ": Invalid Track ID (", walk.Track);
      session.ui.DoEvents();
      break;
  }
}

}  // namespace quavert
