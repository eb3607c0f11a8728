#pragma once

#include <windows.h>

#include "ports/user_messages.h"

namespace foxbane::win32 {

// Message boxes owned by the main window (modal to it), captioned "Foxbane".
class Win32UserMessages : public UserMessages {
 public:
  explicit Win32UserMessages(HWND owner) : owner_(owner) {}
  void ShowModal(std::string_view text) override;
  bool Ask(std::string_view text) override;

 private:
  HWND owner_;
};

}  // namespace foxbane::win32
