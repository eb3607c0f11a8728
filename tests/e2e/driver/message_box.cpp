#include "driver/message_box.h"

#include <windows.h>

#include <stdexcept>

#include "app/control_table.h"
#include "support/running_program.h"
#include "win32/text.h"
#include "support/window_probe.h"

namespace foxbane::e2e {

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
// The id the system gives a message box's text.
constexpr int kMessageTextId = 0xFFFF;

}  // namespace

std::string ReadAndDismissMessageBox(std::chrono::milliseconds limit, int button) {
  using win32::testing::WaitUntil;
  const std::wstring caption = win32::Wide(window_layout::kTitle);
  HWND box = nullptr;
  WaitUntil([&] { return (box = ::FindWindowW(kDialogClass, caption.c_str())) != nullptr; }, limit);
  if (!box) throw std::runtime_error("no message box captioned Foxbane appeared");

  const HWND text = ::GetDlgItem(box, kMessageTextId);
  const HWND pressed = ::GetDlgItem(box, button);
  if (!text || !pressed) throw std::runtime_error("the message box has no text or no such button");
  const std::string shown = win32::Narrow(win32::testing::TextOf(text));
  ::PostMessageW(pressed, BM_CLICK, 0, 0);
  if (!WaitUntil([&] { return !::IsWindow(box); }, limit)) {
    throw std::runtime_error("the message box stayed open after its button was pressed");
  }
  return shown;
}

}  // namespace foxbane::e2e
