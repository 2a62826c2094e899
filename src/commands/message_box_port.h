#pragma once

#include <string>

#include "app/toolkit.h"
#include "decoding/tell_ask.h"

namespace quavert {

/// The window's message boxes as a step's tell/ask port: a message with OK, a question with
/// Yes and No.
class MessageBoxPort final : public TellAsk {
 public:
  explicit MessageBoxPort(Toolkit& ui) : ui_(ui) {}
  void Tell(const std::string& message) override { ui_.MessageBox(message); }
  bool Ask(const std::string& question) override { return ui_.MessageBox(question, Buttons::kYesNo) == Answer::kYes; }

 private:
  Toolkit& ui_;
};

}  // namespace quavert
