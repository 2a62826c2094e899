#pragma once

#include "editing/genmidi.h"

namespace quavert {

struct Session;

/// The names of the application folder's genmidi.ini (or, without one, the data folder's), read
/// again only when another file is chosen or the file's size or modification time changed (or it
/// appeared or went away) since the last call. A re-read also forgets the drum name the list
/// remembered. Never fails: an unreadable file gives no names.
const GenmidiNames& CurrentGenmidi(Session& session);

}  // namespace quavert
