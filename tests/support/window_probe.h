#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/control_table.h"

namespace foxbane::win32::testing {

// Reads a window the way another program sees it: every call here works
// across processes.

int ScreenDpi();
// The layout's pixels at `dpi`: 15 twips a pixel at 96 DPI.
int ExpectedPixels(int twips, int dpi);
RECT ExpectedRect(const TwipsRect& twips, int dpi);

// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);
std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);  // WM_GETTEXT
// A shown top-level window captioned with the program's title, of the
// process `processId` (any when 0); message boxes, which carry the same
// caption, do not count. Null if none.
HWND FindShownMainWindow(DWORD processId = 0);
// The descendant of `top` carrying the control's child id; null if none.
HWND FindControl(HWND top, ControlId control);
// The child ids of `parent`'s children, top of the stacking order first.
std::vector<int> ChildIdsTopFirst(HWND parent);

// Writes what the screen shows of the window's client area as a 24-bit BMP file.
void SaveScreenshot(HWND window, const std::filesystem::path& file);

}  // namespace foxbane::win32::testing
