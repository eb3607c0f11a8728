// The real progress control, drawn through GDI, next to the sim raster that
// the core's tests trust: both must show the same pixels.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "progress/cool_progress.h"
#include "sim/raster_surface.h"
#include "win32/progress_control.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {
namespace {

constexpr int kWidth = 401;  // CoolProgress1: 6015 x 255 twips
constexpr int kHeight = 17;

// A borderless top-level window on the test's display, shared by every test:
// without a window manager, Wine waits two seconds for each top-level
// window it takes off the screen.
HWND Host() {
  static const UniqueWindow host(::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"",
                                                   WS_POPUP | WS_VISIBLE, 40, 40, kWidth, kHeight,
                                                   nullptr, nullptr, nullptr, nullptr));
  return host.Get();
}

std::string Text(Rgb colour) {
  return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
         std::to_string(colour.blue);
}

// The real control, drawn by one CoolProgress, next to a sim raster drawn by
// another; every change goes to both.
class RealAndSimBars {
 public:
  explicit RealAndSimBars(const std::function<void(CoolProgress&)>& change)
      : control_(Host(), RECT{0, 0, kWidth, kHeight}), raster_(kWidth, kHeight),
        real_(control_.Surface()), sim_(raster_) {
    control_.OnPaint([this] { real_.Paint(); });
    ::ShowWindow(control_.Handle(), SW_SHOW);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    for (CoolProgress* bar : {&real_, &sim_}) {
      bar->Show();
      change(*bar);
    }
    ::GdiFlush();
  }

  // Whether the control's pixels, as GDI holds them, are the raster's; else
  // names the first that differs.
  ::testing::AssertionResult ShowTheSamePixels() const {
    BITMAPINFO info{};  // uncompressed
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const UniqueGdiObject bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueWindowDc windowDc(WindowDc{control_.Handle(), ::GetDC(control_.Handle())});
    const UniqueMemoryDc memory(::CreateCompatibleDC(windowDc.Get().dc));  // goes before the bitmap
    ::SelectObject(memory.Get(), bitmap.Get());
    ::BitBlt(memory.Get(), 0, 0, kWidth, kHeight, windowDc.Get().dc, 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* real = static_cast<const RGBQUAD*>(bits);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x, ++real) {
        const Rgb seen{real->rgbRed, real->rgbGreen, real->rgbBlue};
        if (seen == raster_.Pixel(x, y)) continue;
        return ::testing::AssertionFailure() << "pixel (" << x << "," << y << "): real "
                                             << Text(seen) << " sim " << Text(raster_.Pixel(x, y));
      }
    }
    return ::testing::AssertionSuccess();
  }

 private:
  ProgressControl control_;
  sim::RasterSurface raster_;
  CoolProgress real_;
  CoolProgress sim_;
};

TEST(GdiSurface, MatchesTheSimRasterPixelForPixel) {
  const struct {
    const char* name;
    std::function<void(CoolProgress&)> change;
  } cases[] = {
      {"0: gradient lines of no length", [](CoolProgress& bar) { bar.Percent(0); }},
      {"33", [](CoolProgress& bar) { bar.Percent(33); }},
      {"100", [](CoolProgress& bar) { bar.Percent(100); }},
      {"80 then 20", [](CoolProgress& bar) { bar.Percent(80); bar.Percent(20); }},
      // Red apart from green and blue: the channels' order in a COLORREF.
      {"red hue 40", [](CoolProgress& bar) { bar.RedHue(40); bar.Percent(33); }},
  };
  for (const auto& [name, change] : cases) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(RealAndSimBars(change).ShowTheSamePixels());
  }
}

}  // namespace
}  // namespace foxbane::win32
