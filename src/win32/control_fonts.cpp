#include "win32/control_fonts.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "win32/text.h"

namespace foxbane::win32 {

namespace {

bool Same(const FontSpec& a, const FontSpec& b) {
  return a.face == b.face && a.points == b.points && a.bold == b.bold &&
         a.underline == b.underline;
}

UniqueGdiObject CreateFromLogFont(const LOGFONTW& logFont) {
  UniqueGdiObject font(::CreateFontIndirectW(&logFont));
  if (!font) throw std::runtime_error("CreateFontIndirectW failed");
  return font;
}

UniqueGdiObject CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    throw std::runtime_error("SystemParametersInfoW(SPI_GETNONCLIENTMETRICS) failed");
  }
  return CreateFromLogFont(metrics.lfMessageFont);
}

UniqueGdiObject CreateNamedFont(const FontSpec& spec, int dpi) {
  LOGFONTW logFont{};
  // Negative: the character height, without internal leading, as point sizes mean it.
  logFont.lfHeight = -static_cast<LONG>(std::lround(spec.points * dpi / 72.0));
  logFont.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  logFont.lfUnderline = spec.underline ? TRUE : FALSE;
  logFont.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = Wide(spec.face);
  face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
  return CreateFromLogFont(logFont);
}

}  // namespace

ControlFonts::ControlFonts(int dpi) : default_(CreateMessageFont()) {
  for (const ControlSpec& control : MainWindowControls()) {
    if (control.font.face.empty()) continue;
    const bool known = std::any_of(named_.begin(), named_.end(), [&](const NamedFont& named) {
      return Same(named.spec, control.font);
    });
    if (!known) named_.push_back({control.font, CreateNamedFont(control.font, dpi)});
  }
}

HFONT ControlFonts::For(const FontSpec& font) const {
  if (font.face.empty()) return static_cast<HFONT>(default_.Get());
  const auto found = std::find_if(named_.begin(), named_.end(),
                                  [&](const NamedFont& named) { return Same(named.spec, font); });
  if (found == named_.end()) throw std::logic_error("font not among the window's controls");
  return static_cast<HFONT>(found->font.Get());
}

}  // namespace foxbane::win32
