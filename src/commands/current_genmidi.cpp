#include "commands/current_genmidi.h"

#include "app/session.h"

namespace quavert {

const GenmidiNames& CurrentGenmidi(Session& session) {
  GenmidiCache& cache = session.list.Genmidi;
  const std::string path = GenmidiFile(session.AppFolder, session.DataFolder);
  // The stamp is taken before the read, so a change made while reading shows at the next call.
  const FileStamp stamp = StampOf(path);
  if (!cache.Loaded || path != cache.Path || !(stamp == cache.Stamp)) {
    cache.Names = stamp.Exists ? ReadGenmidi(path) : GenmidiNames{};
    cache.Path = path;
    cache.Stamp = stamp;
    cache.Loaded = true;
    session.list.DrumCache = {};
  }
  return cache.Names;
}

}  // namespace quavert
