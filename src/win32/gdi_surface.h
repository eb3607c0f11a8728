#pragma once

#include <windows.h>

#include "ports/drawing_surface.h"

namespace foxbane::win32 {

// A window's client area as a drawing surface: every figure is painted with
// GDI straight onto the window, through a device context held only for that
// figure. Twips map to pixels at the display's resolution, to the pixel that
// contains them, as on the sim raster.
class GdiSurface : public DrawingSurface {
 public:
  explicit GdiSurface(HWND window);

  double WidthTwips() override;
  double HeightTwips() override;
  double TwipsPerPixelX() override { return twipsPerPixelX_; }
  double TwipsPerPixelY() override { return twipsPerPixelY_; }
  void Line(double x1, double y1, double x2, double y2, Rgb colour) override;
  void Outline(double x1, double y1, double x2, double y2, Rgb colour) override;
  void Fill(double x1, double y1, double x2, double y2, Rgb colour) override;

 private:
  POINT PixelAt(double x, double y) const;

  HWND window_;
  double twipsPerPixelX_;
  double twipsPerPixelY_;
};

}  // namespace foxbane::win32
