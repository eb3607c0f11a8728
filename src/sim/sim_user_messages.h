#pragma once

#include <string>
#include <vector>

#include "ports/user_messages.h"

namespace foxbane::sim {

// Records every message box instead of showing it; each counts as dismissed.
class SimUserMessages : public UserMessages {
 public:
  void ShowModal(std::string_view text) override { shown_.emplace_back(text); }
  const std::vector<std::string>& shown() const { return shown_; }

 private:
  std::vector<std::string> shown_;
};

}  // namespace foxbane::sim
