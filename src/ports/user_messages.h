#pragma once

#include <string_view>

namespace foxbane {

// Modal message boxes captioned with the program's title.
class UserMessages {
 public:
  virtual ~UserMessages() = default;
  // Shows `text` with an OK button and no icon; returns when dismissed.
  virtual void ShowModal(std::string_view text) = 0;
  // Shows `text` as a question with Yes and No buttons; true for Yes.
  virtual bool Ask(std::string_view text) = 0;
};

}  // namespace foxbane
