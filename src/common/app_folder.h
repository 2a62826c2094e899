#pragma once

#include <string>

namespace quavert {

/// The folder everything the program keeps lives in: the folder of the running executable, or
/// the folder named by the environment variable QUAVERT_HOME when it is set and not empty.
std::string ApplicationFolder();

}  // namespace quavert
