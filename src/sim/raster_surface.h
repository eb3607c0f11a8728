#pragma once

#include <vector>

#include "ports/drawing_surface.h"

namespace foxbane::sim {

// A drawing surface that is a plain pixel raster at 96 dots per inch (15
// twips a pixel), so tests can check the colours a control really paints.
// Figures that reach outside the raster are clipped, as on a window.
class RasterSurface : public DrawingSurface {
 public:
  RasterSurface(int widthPixels, int heightPixels, Rgb background = {0, 0, 0});

  double WidthTwips() override;
  double HeightTwips() override;
  double TwipsPerPixelX() override { return kTwipsPerPixel; }
  double TwipsPerPixelY() override { return kTwipsPerPixel; }
  void Line(double x1, double y1, double x2, double y2, Rgb colour) override;
  void Outline(double x1, double y1, double x2, double y2, Rgb colour) override;
  void Fill(double x1, double y1, double x2, double y2, Rgb colour) override;

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb Pixel(int x, int y) const;

  static constexpr double kTwipsPerPixel = 15.0;

 private:
  void Plot(int x, int y, Rgb colour);
  static int ToPixel(double twips);

  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

}  // namespace foxbane::sim
