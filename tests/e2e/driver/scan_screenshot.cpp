#include "driver/scan_screenshot.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "win32/unique_handle.h"
#include "support/window_probe.h"

namespace foxbane::e2e {

namespace {

// The progress bar as the screen shows it: every 8th pixel of its middle row.
std::vector<COLORREF> ShownProgress(HWND bar) {
  RECT place;
  ::GetWindowRect(bar, &place);
  const int row = (place.top + place.bottom) / 2;
  const win32::UniqueWindowDc screen(win32::WindowDc{nullptr, ::GetDC(nullptr)});
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
    win32::testing::SaveScreenshot(window.Handle(), file);
    if (ShownProgress(bar) == before && ::IsWindowVisible(panel)) return;
  }
  throw std::runtime_error("the screen never showed the scan under way");
}

}  // namespace foxbane::e2e
