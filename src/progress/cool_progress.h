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

  void Up3D(std::int16_t gHeight, std::int16_t gWidth);
  void Down3D(std::int16_t gHeight, std::int16_t gWidth);

  std::int16_t GradientFrom() const { return gradientFrom_; }
  void GradientFrom(std::int16_t New_GradientFrom);
  std::int16_t GradientTo() const { return gradientTo_; }
  void GradientTo(std::int16_t New_GradientTo);
  std::int16_t RedHue() const { return redHue_; }
  void RedHue(std::int16_t New_RedHue);
  std::int16_t BlueHue() const { return blueHue_; }
  void BlueHue(std::int16_t New_BlueHue);
  std::int16_t GreenHue() const { return greenHue_; }
  void GreenHue(std::int16_t New_GreenHue);
  std::int16_t Percent() const { return percent_; }
  void Percent(std::int16_t New_Percent);

  // Host notifications.
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;
  void Show();
  void Paint();

  Rgb TrackColor() const { return trackColor_; }

 private:
  void RedrawBar();
  void DrawGradient(int from, int to, int height, int width, int red, int green, int blue);
  void PropertyChanged(std::string_view name);

  DrawingSurface& surface_;
  ChangeReporter propertyChanged_;
  std::int16_t gradientFrom_ = 190;
  std::int16_t gradientTo_ = 230;
  std::int16_t redHue_ = 0;
  std::int16_t blueHue_ = 0;
  std::int16_t greenHue_ = 0;
  std::int16_t percent_ = 0;
  Rgb trackColor_{130, 130, 130};
};

}  // namespace foxbane
