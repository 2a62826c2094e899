#pragma once

#include <cstdint>
#include <string>

namespace quavert {

/// Appends a delta time (or any variable-length number the decoder reads) in its shortest
/// form: one byte below 2^7, two below 2^14, three below 2^21, four up to 0x0FFFFFFF. Values the
/// decoder can only have read with a whole fourth byte (0x10000000 .. 268435583) get FF FF FF and
/// that fourth byte, so that every value 0 .. 268435583 reads back as itself. RunError 6 for a
/// value outside that range.
void AppendDeltaTime(std::string& out, std::int32_t value);

}  // namespace quavert
