#include "support/window_probe.h"

#include <fstream>
#include <stdexcept>

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

RECT RectInParent(HWND window) {
  RECT place;
  ::GetWindowRect(window, &place);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = ::SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                     reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

namespace {

struct MainWindowSearch {
  DWORD processId;
  HWND found;
};

// A named CALLBACK, not a lambda: a 32-bit build needs the stdcall convention.
BOOL CALLBACK TakeIfShownMainWindow(HWND window, LPARAM state) {
  auto* wanted = reinterpret_cast<MainWindowSearch*>(state);
  // The caption as the system keeps it: no message to a window that may be
  // busy, and nothing here can throw.
  wchar_t caption[64] = {};
  wchar_t className[16] = {};
  ::GetWindowTextW(window, caption, 64);
  ::GetClassNameW(window, className, 16);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if ((wanted->processId != 0 && owner != wanted->processId) || !::IsWindowVisible(window) ||
      Wide(window_layout::kTitle) != caption || std::wstring_view(className) == L"#32770") {
    return TRUE;
  }
  wanted->found = window;
  return FALSE;
}

struct ControlSearch {
  int id;
  HWND found;
};

// A named CALLBACK, not a lambda: a 32-bit build needs the stdcall convention.
BOOL CALLBACK TakeIfControl(HWND child, LPARAM state) {
  auto* wanted = reinterpret_cast<ControlSearch*>(state);
  if (::GetDlgCtrlID(child) != wanted->id) return TRUE;
  wanted->found = child;
  return FALSE;
}

}  // namespace

HWND FindShownMainWindow(DWORD processId) {
  MainWindowSearch search{processId, nullptr};
  ::EnumWindows(TakeIfShownMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindControl(HWND top, ControlId control) {
  ControlSearch search{ChildIdOf(control), nullptr};
  ::EnumChildWindows(top, TakeIfControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<int> ChildIdsTopFirst(HWND parent) {
  std::vector<int> ids;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ids.push_back(::GetDlgCtrlID(child));
  }
  return ids;
}

void SaveScreenshot(HWND window, const std::filesystem::path& file) {
  // Paints what is pending, in the window's own thread, before the copy.
  ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  // The client area only: without a window manager nobody draws the frame.
  RECT place;
  ::GetClientRect(window, &place);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&place), 2);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  UniqueWindowDc screen(WindowDc{nullptr, ::GetDC(nullptr)});
  UniqueMemoryDc memory(::CreateCompatibleDC(screen.Get().dc));
  UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.Get().dc, width, height));
  const HGDIOBJ previous = ::SelectObject(memory.Get(), bitmap.Get());
  ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get().dc, place.left, place.top, SRCCOPY);
  ::SelectObject(memory.Get(), previous);

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // positive: rows bottom-up, as BMP files store them
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  std::vector<char> pixels(stride * static_cast<std::size_t>(height));
  if (!::GetDIBits(memory.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, static_cast<UINT>(height),
                   pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS)) {
    throw std::runtime_error("GetDIBits failed");
  }
  BITMAPFILEHEADER fileHeader{};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
  fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + pixels.size());
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace foxbane::win32::testing
