#include "progress/cool_progress.h"

#include <algorithm>
#include <utility>

#include "common/resume_next.h"
#include "common/vb_conversions.h"

namespace foxbane {

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kLightGrey{205, 205, 205};
constexpr Rgb kShownTrackColor{130, 130, 130};

// A component above 255 draws as 255; one below 0 (negative shades or hues)
// draws as 0.
std::uint8_t Component(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

Rgb Colour(int red, int green, int blue) { return {Component(red), Component(green), Component(blue)}; }

// Sizes handed to the frame passes, rounded half to even. They are held to
// 16 bits instead of overflowing: a saved Percent far above 100 or a very
// wide window only reaches coordinates that lie off the bar anyway.
std::int16_t RoundSaturated(double value) {
  return static_cast<std::int16_t>(std::clamp(RoundHalfEven(value), -32768.0, 32767.0));
}

// A saved value that is no 16-bit number (only a damaged bag holds one)
// reads as the default rather than failing the control's load.
std::int16_t ReadInt16(const PropertyBag& bag, std::string_view name, std::int16_t defaultValue) {
  try {
    return RoundToInt16(bag.ReadProperty(name, defaultValue));
  } catch (const StepFailed&) {
    return defaultValue;
  }
}

}  // namespace

const CoolProgress::SavedField CoolProgress::kSavedFields[6] = {
    {"GradientFrom", &State::gradientFrom}, {"GradientTo", &State::gradientTo},
    {"RedHue", &State::redHue},             {"BlueHue", &State::blueHue},
    {"GreenHue", &State::greenHue},         {"Percent", &State::percent},
};

CoolProgress::CoolProgress(DrawingSurface& surface, ChangeReporter propertyChanged)
    : surface_(surface), propertyChanged_(std::move(propertyChanged)) {}

void CoolProgress::GradientFrom(std::int16_t New_GradientFrom) {
  SetAndReport(&State::gradientFrom, New_GradientFrom, "GradientFrom");
}
void CoolProgress::GradientTo(std::int16_t New_GradientTo) {
  SetAndReport(&State::gradientTo, New_GradientTo, "GradientTo");
}
void CoolProgress::RedHue(std::int16_t New_RedHue) { SetAndReport(&State::redHue, New_RedHue, "RedHue"); }
void CoolProgress::BlueHue(std::int16_t New_BlueHue) { SetAndReport(&State::blueHue, New_BlueHue, "BlueHue"); }
void CoolProgress::GreenHue(std::int16_t New_GreenHue) {
  SetAndReport(&State::greenHue, New_GreenHue, "GreenHue");
}

void CoolProgress::Percent(std::int16_t New_Percent) {
  if (New_Percent < 0 || New_Percent > 100) return;
  state_.percent = New_Percent;
  PropertyChanged("Percent");
  RedrawBar();
}

void CoolProgress::InitProperties() { state_ = State{}; }

void CoolProgress::ReadProperties(const PropertyBag& bag) {
  for (const SavedField& saved : kSavedFields) {
    state_.*saved.field = ReadInt16(bag, saved.name, State{}.*saved.field);
  }
}

void CoolProgress::WriteProperties(PropertyBag& bag) const {
  for (const SavedField& saved : kSavedFields) {
    bag.WriteProperty(saved.name, state_.*saved.field, State{}.*saved.field);
  }
}

void CoolProgress::Show() {
  trackColor_ = kShownTrackColor;
  RedrawBar();
}

void CoolProgress::Paint() { RedrawBar(); }

void CoolProgress::RedrawBar() {
  const double width = surface_.WidthTwips();
  const std::int16_t height = RoundSaturated(surface_.HeightTwips());
  const std::int16_t fill = RoundSaturated(width / 100 * state_.percent);
  DrawGradient(state_.gradientFrom, state_.gradientTo, height, fill, state_.redHue, state_.greenHue,
               state_.blueHue);
  Down3D(height, RoundSaturated(width));
  if (fill != 0) Up3D(height, fill);
}

// One line per pixel row, each already one step along from `from`, plus one
// on the row just below the bar.
void CoolProgress::DrawGradient(int from, int to, int height, int width, int red, int green, int blue) {
  const double twipsPerRow = surface_.TwipsPerPixelY();
  const double rows = height / twipsPerRow;
  if (!(rows > 0)) return;  // no rows to shade, and the step would divide by zero
  const double step = (from - to) / rows;
  double shade = from;
  for (int i = 0; i <= rows; ++i) {
    shade -= step;
    const double y = i * twipsPerRow;
    const int grey = static_cast<int>(RoundHalfEven(shade));
    surface_.Line(0, y, width, y, Colour(grey + red, grey + green, grey + blue));
  }
}

void CoolProgress::Down3D(std::int16_t gHeight, std::int16_t gWidth) {
  const double w = gWidth / surface_.TwipsPerPixelX();
  const double h = gHeight / surface_.TwipsPerPixelY();
  DrawOutline(w, h);
  // The track starts where the current Percent ends on the whole bar, not at
  // gWidth; it also covers the outline along its top, bottom and right.
  const double trackStart = surface_.WidthTwips() / 100 * state_.percent;
  surface_.Fill(trackStart, 0, (w - 1) * surface_.TwipsPerPixelX(), (h - 1) * surface_.TwipsPerPixelY(),
                trackColor_);
  DrawInsetEdges(w, h, kLightGrey, HueShade(173));
}

void CoolProgress::Up3D(std::int16_t gHeight, std::int16_t gWidth) {
  const double w = gWidth / surface_.TwipsPerPixelX();
  const double h = gHeight / surface_.TwipsPerPixelY();
  DrawOutline(w, h);
  DrawInsetEdges(w, h, HueShade(173), kWhite);
}

void CoolProgress::DrawOutline(double w, double h) {
  surface_.Outline(0, 0, (w - 1) * surface_.TwipsPerPixelX(), (h - 1) * surface_.TwipsPerPixelY(),
                   HueShade(76));
}

void CoolProgress::DrawInsetEdges(double w, double h, Rgb bottomAndRight, Rgb leftAndTop) {
  const double x = surface_.TwipsPerPixelX(), y = surface_.TwipsPerPixelY();
  surface_.Line(2 * x, (h - 2) * y, (w - 1) * x, (h - 2) * y, bottomAndRight);
  surface_.Line((w - 2) * x, (h - 2) * y, (w - 2) * x, 2 * y, bottomAndRight);  // drawn upwards
  surface_.Line(x, 2 * y, x, (h - 2) * y, leftAndTop);
  surface_.Line(x, y, (w - 2) * x, y, leftAndTop);
}

// A frame grey tinted by the hues. The sums are exact where 16-bit ones
// would be, and never overflow where 16-bit ones would.
Rgb CoolProgress::HueShade(int grey) const {
  return Colour(state_.redHue + grey, state_.greenHue + grey, state_.blueHue + grey);
}

void CoolProgress::SetAndReport(std::int16_t State::*field, std::int16_t value, std::string_view name) {
  state_.*field = value;
  PropertyChanged(name);
}

void CoolProgress::PropertyChanged(std::string_view name) {
  if (propertyChanged_) propertyChanged_(name);
}

}  // namespace foxbane
