#pragma once

#include <cstdint>
#include <string>

namespace quavert {

/// Appends a delta time (or any variable-length number the decoder reads) in its shortest
/// form: one byte below 128, two below 16384, three from there on. Values the decoder can only
/// have read with a whole third byte (2097152 .. 2097279) get FF FF and that third byte, so that
/// every value 0 .. 2097279 reads back as itself. RunError 6 for a value outside that range.
void AppendDeltaTime(std::string& out, std::int32_t value);

}  // namespace quavert
