#include "support/window_probe.h"

#include "support/running_program.h"
#include "win32/control_ids.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::win32::testing {

int ScreenDpi() {
  UniqueWindowDc screen(WindowDc{nullptr, ::GetDC(nullptr)});
  return ::GetDeviceCaps(screen.Get().dc, LOGPIXELSY);
}

int ExpectedPixels(int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); }

RECT ExpectedRect(const TwipsRect& twips, int dpi) {
  const int left = ExpectedPixels(twips.left, dpi);
  const int top = ExpectedPixels(twips.top, dpi);
  return {left, top, left + ExpectedPixels(twips.width, dpi),
          top + ExpectedPixels(twips.height, dpi)};
}

std::wstring TextOf(HWND window) {
  const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = ::SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                     reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

HWND WaitForShownWindow(const wchar_t* windowClass, std::chrono::milliseconds limit) {
  const std::wstring title = Wide(window_layout::kTitle);
  HWND window = nullptr;
  const bool shown = WaitUntil([&] {
    window = ::FindWindowW(windowClass, title.c_str());
    return window && ::IsWindowVisible(window);
  }, limit);
  return shown ? window : nullptr;
}

HWND FindControl(HWND top, ControlId control) {
  const ControlSpec& spec = SpecOf(control);
  const HWND parent = spec.parent ? FindControl(top, *spec.parent) : top;
  return parent ? ::GetDlgItem(parent, ChildIdOf(control)) : nullptr;
}

}  // namespace foxbane::win32::testing
