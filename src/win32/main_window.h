#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "app/control_table.h"
#include "ports/window.h"
#include "win32/control_fonts.h"
#include "win32/progress_control.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {

// Where the window reports what the user does.
struct WindowHandlers {
  std::function<void(ControlId)> click;  // a button or the clickable label
  std::function<void()> paintProgress;   // the progress bar needs redrawing
  std::function<void()> close;           // the close box, Alt+F4
};

// The program's main window with every control of the layout, as real
// Windows controls placed at the display's DPI. It is created hidden, with
// each control at its start visibility.
class Win32Window : public Window {
 public:
  explicit Win32Window(HINSTANCE instance);
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  void Connect(WindowHandlers handlers);
  // Shows the window and gives the focus to the first control of the tab order.
  void ShowOnScreen(int showCommand);
  // Tab, Shift+Tab and Enter on a button, for the message loop to call before
  // translating a message; true when the key was handled here.
  bool TranslateNavigationKey(const MSG& message);

  HWND Handle() const { return window_.Get(); }
  HWND ControlHandle(ControlId control) const;

  void SetVisible(ControlId control, bool visible) override;
  void SetText(ControlId control, std::string_view text) override;
  void FocusControl(ControlId control) override;
  double WidthTwips(ControlId control) override;
  void ClearRows(ControlId list) override;
  void SetColumns(ControlId list, std::span<const ListColumn> columns) override;
  void AppendRow(ControlId list, std::string_view text, std::string_view pidText) override;
  DrawingSurface& ProgressSurface() override { return progress_->Surface(); }

  // Messages of the window, as the shared window procedure delivers them.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void CreateControls(HINSTANCE instance);
  HWND CreateControl(const ControlSpec& spec, HINSTANCE instance);
  int Pixels(double twips) const;
  RECT PixelRect(const TwipsRect& twips) const;
  bool Shown(ControlId control) const;
  std::optional<ControlId> ControlOf(HWND window) const;
  void MoveFocus(std::optional<ControlId> from, bool forward);
  void DeliverClick(ControlId control);

  int dpi_;
  ControlFonts fonts_;
  WindowHandlers handlers_;
  UniqueWindow window_;  // destroys the controls with it
  std::vector<HWND> controls_;
  std::optional<ProgressControl> progress_;
  HWND focusWhenDeactivated_ = nullptr;
};

}  // namespace foxbane::win32
