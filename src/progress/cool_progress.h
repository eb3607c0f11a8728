#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "ports/drawing_surface.h"
#include "progress/property_bag.h"

namespace foxbane {

// The gradient progress bar: a raised, vertically shaded block from the left
// edge to Percent of the width, and a flat track with an inset frame for the
// rest. It redraws itself on every valid Percent, repaint and show.
class CoolProgress {
 public:
  using ChangeReporter = std::function<void(std::string_view propertyName)>;

  explicit CoolProgress(DrawingSurface& surface, ChangeReporter propertyChanged = {});

  // The frames, for a block gWidth by gHeight twips.
  void Up3D(std::int16_t gHeight, std::int16_t gWidth);
  void Down3D(std::int16_t gHeight, std::int16_t gWidth);

  std::int16_t GradientFrom() const { return state_.gradientFrom; }
  void GradientFrom(std::int16_t New_GradientFrom);
  std::int16_t GradientTo() const { return state_.gradientTo; }
  void GradientTo(std::int16_t New_GradientTo);
  std::int16_t RedHue() const { return state_.redHue; }
  void RedHue(std::int16_t New_RedHue);
  std::int16_t BlueHue() const { return state_.blueHue; }
  void BlueHue(std::int16_t New_BlueHue);
  std::int16_t GreenHue() const { return state_.greenHue; }
  void GreenHue(std::int16_t New_GreenHue);
  std::int16_t Percent() const { return state_.percent; }
  // Values outside 0..100 are ignored; others are stored and drawn at once.
  void Percent(std::int16_t New_Percent);

  // Host notifications.
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;
  void Show();
  void Paint();

 private:
  // The six saved fields; a value-initialised State is a new instance.
  struct State {
    std::int16_t gradientFrom = 190;
    std::int16_t gradientTo = 230;
    std::int16_t redHue = 0;
    std::int16_t blueHue = 0;
    std::int16_t greenHue = 0;
    std::int16_t percent = 0;
  };
  struct SavedField {
    std::string_view name;
    std::int16_t State::*field;
  };
  static const SavedField kSavedFields[6];

  void RedrawBar();
  void DrawGradient(int from, int to, int height, int width, int red, int green, int blue);
  // The frame passes, for a block w by h pixels.
  void DrawOutline(double w, double h);
  void DrawInsetEdges(double w, double h, Rgb bottomAndRight, Rgb leftAndTop);
  Rgb HueShade(int grey) const;
  void SetAndReport(std::int16_t State::*field, std::int16_t value, std::string_view name);
  void PropertyChanged(std::string_view name);

  DrawingSurface& surface_;
  ChangeReporter propertyChanged_;
  State state_;
  Rgb trackColor_{130, 130, 130};
};

}  // namespace foxbane
