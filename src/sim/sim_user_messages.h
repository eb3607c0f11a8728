#pragma once

#include <string>
#include <vector>

#include "ports/user_messages.h"

namespace foxbane::sim {

// Records every message box instead of showing it; each counts as
// dismissed, and each question is answered from a list set beforehand (Yes
// once the list runs out).
class SimUserMessages : public UserMessages {
 public:
  void ShowModal(std::string_view text) override { shown_.emplace_back(text); }
  bool Ask(std::string_view text) override {
    asked_.emplace_back(text);
    if (answers_.empty()) return true;
    const bool answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  }

  void AnswerNext(std::vector<bool> answers) { answers_ = std::move(answers); }
  const std::vector<std::string>& shown() const { return shown_; }
  const std::vector<std::string>& asked() const { return asked_; }

 private:
  std::vector<std::string> shown_;
  std::vector<std::string> asked_;
  std::vector<bool> answers_;
};

}  // namespace foxbane::sim
