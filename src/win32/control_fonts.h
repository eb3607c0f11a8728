#pragma once

#include <windows.h>

#include <vector>

#include "app/control_table.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {

// The fonts the main window's controls name, made once at the display's DPI.
// Controls that name none get the system's message font, which is what
// dialogs of this system use for their text.
class ControlFonts {
 public:
  explicit ControlFonts(int dpi);
  ControlFonts(const ControlFonts&) = delete;
  ControlFonts& operator=(const ControlFonts&) = delete;

  HFONT For(const FontSpec& font) const;

 private:
  struct NamedFont {
    FontSpec spec;
    UniqueGdiObject font;
  };

  UniqueGdiObject default_;
  std::vector<NamedFont> named_;
};

}  // namespace foxbane::win32
