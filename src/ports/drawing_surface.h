#pragma once

#include <cmath>
#include <cstdint>

namespace foxbane {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The pixel that contains a coordinate in twips. Every surface maps twips
// this way, so the sim raster and the real window agree pixel for pixel; the
// small allowance keeps an exact multiple that arrived as n - 1e-12 on pixel n.
inline int PixelContaining(double twips, double twipsPerPixel) {
  return static_cast<int>(std::floor(twips / twipsPerPixel + 1e-9));
}

// A control's drawing area. Coordinates are twips from its top-left corner;
// every figure is one pixel wide, solid, and painted including its end point.
class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  virtual double WidthTwips() = 0;
  virtual double HeightTwips() = 0;
  virtual double TwipsPerPixelX() = 0;
  virtual double TwipsPerPixelY() = 0;
  virtual void Line(double x1, double y1, double x2, double y2, Rgb colour) = 0;
  virtual void Outline(double x1, double y1, double x2, double y2, Rgb colour) = 0;
  virtual void Fill(double x1, double y1, double x2, double y2, Rgb colour) = 0;
};

}  // namespace foxbane
