#include "win32/user_messages.h"

#include "app/control_table.h"
#include "win32/text.h"

namespace foxbane::win32 {

void Win32UserMessages::ShowModal(std::string_view text) {
  ::MessageBoxW(owner_, Wide(text).c_str(), Wide(window_layout::kTitle).c_str(), MB_OK);
}

bool Win32UserMessages::Ask(std::string_view text) {
  return ::MessageBoxW(owner_, Wide(text).c_str(), Wide(window_layout::kTitle).c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace foxbane::win32
