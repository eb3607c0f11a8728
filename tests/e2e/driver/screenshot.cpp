#include "driver/screenshot.h"

#include <fstream>
#include <stdexcept>
#include <vector>

#include "win32/unique_handle.h"

namespace foxbane::e2e {

namespace {

using win32::UniqueWindowDc;
using win32::WindowDc;

// The progress bar as the screen shows it: every 8th pixel of its middle row.
std::vector<COLORREF> ShownProgress(HWND bar) {
  RECT place;
  ::GetWindowRect(bar, &place);
  const int row = (place.top + place.bottom) / 2;
  const UniqueWindowDc screen(WindowDc{nullptr, ::GetDC(nullptr)});
  std::vector<COLORREF> pixels;
  for (LONG x = place.left + 3; x < place.right - 3; x += 8) {
    pixels.push_back(::GetPixel(screen.Get().dc, x, row));
  }
  return pixels;
}

// Filled part of the way: its first and last columns differ.
bool PartlyFilled(const std::vector<COLORREF>& progress) {
  return progress.size() > 1 && progress.front() != progress.back();
}

}  // namespace

void SaveScreenshot(HWND window, const std::filesystem::path& file) {
  // Paints what is pending, in the window's own thread, before the copy.
  ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  // The client area only: without a window manager nobody draws the frame.
  RECT place;
  ::GetClientRect(window, &place);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&place), 2);
  BITMAPINFO info{};
  BITMAPINFOHEADER& header = info.bmiHeader;
  header.biSize = sizeof header;
  header.biWidth = place.right - place.left;
  header.biHeight = place.bottom - place.top;  // positive: rows bottom-up, as BMP files store them
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>((header.biWidth * 3 + 3) / 4 * 4 * header.biHeight);
  void* pixels = nullptr;
  const UniqueWindowDc screen(WindowDc{nullptr, ::GetDC(nullptr)});
  const win32::UniqueGdiObject bitmap(
      ::CreateDIBSection(screen.Get().dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap) throw std::runtime_error("CreateDIBSection failed");
  const win32::UniqueMemoryDc memory(::CreateCompatibleDC(screen.Get().dc));  // freed first
  ::SelectObject(memory.Get(), bitmap.Get());
  ::BitBlt(memory.Get(), 0, 0, header.biWidth, header.biHeight, screen.Get().dc, place.left,
           place.top, SRCCOPY);
  ::GdiFlush();

  BITMAPFILEHEADER fileHeader{};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
  fileHeader.bfSize = fileHeader.bfOffBits + header.biSizeImage;
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(static_cast<const char*>(pixels), header.biSizeImage);
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// A pass takes a fraction of a second, and Wine copies what a window draws
// to the screen only now and then, so the screen shows the pass only at
// moments. The screenshot is kept when the screen showed the bar part-filled,
// and the same, just before and just after it was taken, while the pass ran.
void ScreenshotDuringScan(const FoxbaneWindow& window, const std::filesystem::path& file,
                          std::chrono::milliseconds limit) {
  const HWND panel = window.Control(ControlId::scanstatus);
  const HWND bar = window.Control(ControlId::CoolProgress1);
  window.Click(window.ClickableCaptioned(L"Scan"));
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    const bool running = ::IsWindowVisible(panel) && ::IsWindowVisible(bar);
    const std::vector<COLORREF> before = ShownProgress(bar);
    if (!running || !PartlyFilled(before)) continue;
    SaveScreenshot(window.Handle(), file);
    if (ShownProgress(bar) == before && ::IsWindowVisible(panel)) return;
  }
  throw std::runtime_error("the screen never showed the scan under way");
}

}  // namespace foxbane::e2e
