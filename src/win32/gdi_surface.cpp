#include "win32/gdi_surface.h"

#include <algorithm>

#include "win32/unique_handle.h"

namespace foxbane::win32 {

namespace {

constexpr double kTwipsPerInch = 1440.0;

UniqueWindowDc DcOf(HWND window) {
  HDC dc = ::GetDC(window);
  return dc ? UniqueWindowDc(WindowDc{window, dc}) : UniqueWindowDc();
}

COLORREF ColorOf(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

// The stock DC pen takes any colour without creating (and later deleting) a
// pen per figure; LineTo stops short of its end point, which is painted too.
void DrawLine(HDC dc, POINT from, POINT to, Rgb colour) {
  ::SelectObject(dc, ::GetStockObject(DC_PEN));
  ::SetDCPenColor(dc, ColorOf(colour));
  ::MoveToEx(dc, from.x, from.y, nullptr);
  ::LineTo(dc, to.x, to.y);
  ::SetPixelV(dc, to.x, to.y, ColorOf(colour));
}

double TwipsPerPixel(HDC dc, int axis) {
  const int dotsPerInch = dc ? ::GetDeviceCaps(dc, axis) : 0;
  return kTwipsPerInch / (dotsPerInch > 0 ? dotsPerInch : USER_DEFAULT_SCREEN_DPI);
}

}  // namespace

// The display's resolution does not change while the program runs.
GdiSurface::GdiSurface(HWND window) : window_(window) {
  const UniqueWindowDc dc = DcOf(window_);
  twipsPerPixelX_ = TwipsPerPixel(dc.Get().dc, LOGPIXELSX);
  twipsPerPixelY_ = TwipsPerPixel(dc.Get().dc, LOGPIXELSY);
}

double GdiSurface::WidthTwips() {
  RECT client{};
  ::GetClientRect(window_, &client);
  return (client.right - client.left) * twipsPerPixelX_;
}

double GdiSurface::HeightTwips() {
  RECT client{};
  ::GetClientRect(window_, &client);
  return (client.bottom - client.top) * twipsPerPixelY_;
}

POINT GdiSurface::PixelAt(double x, double y) const {
  return {PixelContaining(x, twipsPerPixelX_), PixelContaining(y, twipsPerPixelY_)};
}

void GdiSurface::Line(double x1, double y1, double x2, double y2, Rgb colour) {
  const UniqueWindowDc dc = DcOf(window_);
  if (!dc) return;
  DrawLine(dc.Get().dc, PixelAt(x1, y1), PixelAt(x2, y2), colour);
}

void GdiSurface::Outline(double x1, double y1, double x2, double y2, Rgb colour) {
  const UniqueWindowDc dc = DcOf(window_);
  if (!dc) return;
  const POINT first = PixelAt(x1, y1), second = PixelAt(x2, y2);
  DrawLine(dc.Get().dc, first, {second.x, first.y}, colour);
  DrawLine(dc.Get().dc, {second.x, first.y}, second, colour);
  DrawLine(dc.Get().dc, second, {first.x, second.y}, colour);
  DrawLine(dc.Get().dc, {first.x, second.y}, first, colour);
}

// FillRect leaves out the right and bottom edges and draws nothing for a
// rectangle given right to left, so the corners are put in order and the
// far edges included.
void GdiSurface::Fill(double x1, double y1, double x2, double y2, Rgb colour) {
  const UniqueWindowDc dc = DcOf(window_);
  if (!dc) return;
  const POINT first = PixelAt(x1, y1), second = PixelAt(x2, y2);
  const RECT area{std::min(first.x, second.x), std::min(first.y, second.y),
                  std::max(first.x, second.x) + 1, std::max(first.y, second.y) + 1};
  ::SetDCBrushColor(dc.Get().dc, ColorOf(colour));
  ::FillRect(dc.Get().dc, &area, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

}  // namespace foxbane::win32
