#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "app/control_table.h"

namespace foxbane::win32::testing {

// Reads a window the way another program sees it: every call here works
// across processes.

// The window classes of Foxbane's main window and of a message box.
inline constexpr wchar_t kMainWindowClass[] = L"FoxbaneWindow";
inline constexpr wchar_t kMessageBoxClass[] = L"#32770";

int ScreenDpi();
// The layout's pixels at `dpi`: 15 twips a pixel at 96 DPI.
int ExpectedPixels(int twips, int dpi);
RECT ExpectedRect(const TwipsRect& twips, int dpi);

std::wstring TextOf(HWND window);  // WM_GETTEXT
// The shown top-level window of this class captioned with the program's
// title, once there is one within the time; null if none comes.
HWND WaitForShownWindow(const wchar_t* windowClass, std::chrono::milliseconds limit);
// The control, found by its child id in the parent the layout gives it, and
// that parent the same way, up to `top`; null if any is missing.
HWND FindControl(HWND top, ControlId control);

}  // namespace foxbane::win32::testing
