#pragma once

#include <windows.h>

#include <functional>

#include "ports/drawing_surface.h"
#include "win32/gdi_surface.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {

// The progress bar's child window, of class "FoxbaneProgress". It paints
// nothing by itself and erases nothing: on WM_PAINT it validates the window,
// then runs the paint callback, which redraws the whole bar through Surface().
//
//   ProgressControl bar(parent, {16, 72, 417, 89});    // client pixels of parent
//   Window::ProgressSurface() returns bar.Surface();
//   bar.OnPaint([&] { form.PaintProgress(); });
//   ShowWindow(bar.Handle(), SW_SHOW) when the core makes it visible.
//
// The window is created hidden and destroyed with this object, which cannot
// move (the window keeps a pointer to it).
class ProgressControl {
 public:
  // Throws std::system_error when the window cannot be created.
  ProgressControl(HWND parent, const RECT& pixels);
  ProgressControl(const ProgressControl&) = delete;
  ProgressControl& operator=(const ProgressControl&) = delete;

  HWND Handle() const { return window_.Get(); }
  DrawingSurface& Surface() { return surface_; }
  // What WM_PAINT runs; until one is given, WM_PAINT only validates.
  void OnPaint(std::function<void()> paint) { paint_ = std::move(paint); }

  // Messages of the window, as the shared window procedure delivers them.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Paint() noexcept;

  std::function<void()> paint_;
  UniqueWindow window_;
  GdiSurface surface_;
};

}  // namespace foxbane::win32
