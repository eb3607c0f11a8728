#include "sim/raster_surface.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace foxbane::sim {

RasterSurface::RasterSurface(int widthPixels, int heightPixels, Rgb background)
    : width_(widthPixels),
      height_(heightPixels),
      pixels_(static_cast<std::size_t>(widthPixels) * static_cast<std::size_t>(heightPixels),
              background) {}

double RasterSurface::WidthTwips() { return width_ * kTwipsPerPixel; }
double RasterSurface::HeightTwips() { return height_ * kTwipsPerPixel; }

int RasterSurface::ToPixel(double twips) { return PixelContaining(twips, kTwipsPerPixel); }

void RasterSurface::Plot(int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
          static_cast<std::size_t>(x)] = colour;
}

Rgb RasterSurface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("pixel outside");
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

void RasterSurface::Line(double x1, double y1, double x2, double y2, Rgb colour) {
  // Bresenham between the two end points, both painted.
  int px = ToPixel(x1), py = ToPixel(y1);
  const int ex = ToPixel(x2), ey = ToPixel(y2);
  const int dx = std::abs(ex - px), dy = -std::abs(ey - py);
  const int sx = px < ex ? 1 : -1, sy = py < ey ? 1 : -1;
  int error = dx + dy;
  while (true) {
    Plot(px, py, colour);
    if (px == ex && py == ey) break;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      px += sx;
    }
    if (twice <= dx) {
      error += dx;
      py += sy;
    }
  }
}

void RasterSurface::Outline(double x1, double y1, double x2, double y2, Rgb colour) {
  Line(x1, y1, x2, y1, colour);
  Line(x2, y1, x2, y2, colour);
  Line(x2, y2, x1, y2, colour);
  Line(x1, y2, x1, y1, colour);
}

void RasterSurface::Fill(double x1, double y1, double x2, double y2, Rgb colour) {
  const int left = std::min(ToPixel(x1), ToPixel(x2)), right = std::max(ToPixel(x1), ToPixel(x2));
  const int top = std::min(ToPixel(y1), ToPixel(y2)), bottom = std::max(ToPixel(y1), ToPixel(y2));
  // Only the part inside the raster is visited: a bar's track may be asked
  // to start far beyond its right edge.
  for (int y = std::max(top, 0); y <= std::min(bottom, height_ - 1); ++y) {
    for (int x = std::max(left, 0); x <= std::min(right, width_ - 1); ++x) Plot(x, y, colour);
  }
}

}  // namespace foxbane::sim
