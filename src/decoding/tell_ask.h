#pragma once

#include <string>

namespace quavert {

/// What a step needs of the user mid-way: to be told a message, and to answer a yes/no question.
class TellAsk {
 public:
  virtual void Tell(const std::string& message) = 0;
  /// True for yes.
  virtual bool Ask(const std::string& question) = 0;

 protected:
  ~TellAsk() = default;
};

}  // namespace quavert
