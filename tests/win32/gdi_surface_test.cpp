#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <functional>
#include <string>
#include <vector>

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
  static const UniqueWindow host(::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE,
                                                   40, 40, kWidth, kHeight, nullptr, nullptr,
                                                   ::GetModuleHandleW(nullptr), nullptr));
  return host.Get();
}

// The real control, drawn by one CoolProgress, next to a sim raster drawn by
// another.
class RealAndSimBars {
 public:
  RealAndSimBars()
      : control_(Host(), RECT{0, 0, kWidth, kHeight}),
        raster_(kWidth, kHeight),
        real_(control_.Surface()),
        sim_(raster_) {
    control_.OnPaint([this] { real_.Paint(); });
    ::ShowWindow(control_.Handle(), SW_SHOW);
    PumpMessages();
  }

  // Applies the same change to both bars.
  void Both(const std::function<void(CoolProgress&)>& change) {
    change(real_);
    change(sim_);
    ::GdiFlush();
  }

  // The control's pixels as GDI holds them, read into a DIB.
  std::vector<Rgb> RealPixels() const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueWindowDc windowDc(WindowDc{control_.Handle(), ::GetDC(control_.Handle())});
    const UniqueMemoryDc memory(::CreateCompatibleDC(windowDc.Get().dc));  // goes before the bitmap
    ::SelectObject(memory.Get(), bitmap.Get());
    ::BitBlt(memory.Get(), 0, 0, kWidth, kHeight, windowDc.Get().dc, 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<Rgb> pixels;
    const auto* quads = static_cast<const RGBQUAD*>(bits);
    for (int i = 0; i < kWidth * kHeight; ++i) {
      pixels.push_back({quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue});
    }
    return pixels;
  }

  std::vector<Rgb> SimPixels() const {
    std::vector<Rgb> pixels;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) pixels.push_back(raster_.Pixel(x, y));
    }
    return pixels;
  }

  static void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  }

  ProgressControl& control() { return control_; }
  CoolProgress& real() { return real_; }

 private:
  ProgressControl control_;
  sim::RasterSurface raster_;
  CoolProgress real_;
  CoolProgress sim_;
};

// Where the first difference is, for a readable failure.
std::string FirstDifference(const std::vector<Rgb>& real, const std::vector<Rgb>& sim) {
  for (std::size_t i = 0; i < real.size() && i < sim.size(); ++i) {
    if (real[i] != sim[i]) {
      return "pixel (" + std::to_string(i % kWidth) + "," + std::to_string(i / kWidth) + "): real " +
             std::to_string(real[i].red) + "," + std::to_string(real[i].green) + "," +
             std::to_string(real[i].blue) + " sim " + std::to_string(sim[i].red) + "," +
             std::to_string(sim[i].green) + "," + std::to_string(sim[i].blue);
    }
  }
  return real.size() == sim.size() ? "none" : "sizes differ";
}

void SaveBitmap(const std::vector<Rgb>& pixels, const std::string& name) {
  const char* folder = std::getenv("FOXBANE_SCREENS");
  if (!folder || !*folder) return;
  ::CreateDirectoryA(folder, nullptr);
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = kWidth;
  info.biHeight = -kHeight;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  const auto imageBytes = static_cast<DWORD>(pixels.size() * 4);
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + imageBytes;
  std::ofstream out(std::string(folder) + "\\" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  for (const Rgb& pixel : pixels) {
    const RGBQUAD quad{pixel.blue, pixel.green, pixel.red, 0};
    out.write(reinterpret_cast<const char*>(&quad), sizeof quad);
  }
}

TEST(GdiSurface, MeasuresTheClientAreaInTwips) {
  RealAndSimBars bars;
  DrawingSurface& surface = bars.control().Surface();
  EXPECT_EQ(surface.TwipsPerPixelX(), 15.0);  // the display runs at 96 dots per inch
  EXPECT_EQ(surface.TwipsPerPixelY(), 15.0);
  EXPECT_EQ(surface.WidthTwips(), 6015.0);
  EXPECT_EQ(surface.HeightTwips(), 255.0);
}

struct Scenario {
  const char* name;
  std::function<void(CoolProgress&)> change;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

class GdiSurfaceMatchesRaster : public ::testing::TestWithParam<Scenario> {};

TEST_P(GdiSurfaceMatchesRaster, PixelForPixel) {
  RealAndSimBars bars;
  bars.Both([](CoolProgress& bar) { bar.Show(); });
  bars.Both(GetParam().change);
  const auto real = bars.RealPixels();
  EXPECT_EQ(real, bars.SimPixels()) << FirstDifference(real, bars.SimPixels());
  SaveBitmap(real, std::string("progress-") + GetParam().name + ".bmp");
}

INSTANTIATE_TEST_SUITE_P(
    Bars, GdiSurfaceMatchesRaster,
    ::testing::Values(Scenario{"0", [](CoolProgress& bar) { bar.Percent(0); }},
                      Scenario{"33", [](CoolProgress& bar) { bar.Percent(33); }},
                      Scenario{"100", [](CoolProgress& bar) { bar.Percent(100); }},
                      Scenario{"80to20",
                               [](CoolProgress& bar) {
                                 bar.Percent(80);
                                 bar.Percent(20);
                               }},
                      Scenario{"redhue40",
                               [](CoolProgress& bar) {
                                 bar.RedHue(40);
                                 bar.Percent(33);
                               }},
                      Scenario{"reversed",
                               [](CoolProgress& bar) {
                                 bar.GradientFrom(230);
                                 bar.GradientTo(190);
                                 bar.Percent(67);
                               }}),
    [](const ::testing::TestParamInfo<Scenario>& scenario) { return std::string(scenario.param.name); });

// Whatever covered the control, WM_PAINT brings the whole bar back.
TEST(ProgressControl, RepaintsTheBarOnPaintMessages) {
  RealAndSimBars bars;
  bars.Both([](CoolProgress& bar) {
    bar.Show();
    bar.Percent(45);
  });
  {
    const UniqueWindowDc dc(WindowDc{bars.control().Handle(), ::GetDC(bars.control().Handle())});
    const RECT all{0, 0, kWidth, kHeight};
    ::FillRect(dc.Get().dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
  ASSERT_NE(bars.RealPixels(), bars.SimPixels());
  ::InvalidateRect(bars.control().Handle(), nullptr, TRUE);
  ::UpdateWindow(bars.control().Handle());
  ::GdiFlush();
  EXPECT_EQ(bars.RealPixels(), bars.SimPixels());
}

}  // namespace
}  // namespace foxbane::win32
