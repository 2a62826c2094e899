#pragma once

#include <cstdint>
#include <string>

#include "shell/event_form.h"

namespace quavert {

struct Session;
class UndoHistory;

/// Inserts the event `request` asks for after list item `item` (1-based), as quavert-cli's
/// --insert does; a note gets its Note Off `Length` ticks after its On, before any event at that
/// very time, and both are one step in the undo history. False, with the message shown and
/// nothing changed, when either cannot be inserted.
bool InsertRequestedEvent(Session& session, std::int64_t item, const EventRequest& request);

/// Makes the last two steps of `history` one step named `name`, made in the order they were.
void JoinLastTwoSteps(UndoHistory& history, std::string name);

}  // namespace quavert
