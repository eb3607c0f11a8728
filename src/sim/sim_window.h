#pragma once

#include <map>
#include <string>
#include <vector>

#include "ports/window.h"
#include "sim/faults.h"
#include "sim/raster_surface.h"

namespace foxbane::sim {

// A headless window: records what the core shows, so tests can read it back
// the way a user would see it. With a fault plan, a list can refuse a row
// ("Window.AppendRow"), which the real list view reports by throwing.
class SimWindow : public Window {
 public:
  explicit SimWindow(Faults* faults = nullptr);

  void SetVisible(ControlId control, bool visible) override;
  void SetText(ControlId control, std::string_view text) override;
  void FocusControl(ControlId control) override { focused_ = control; }
  double WidthTwips(ControlId control) override;
  void ClearRows(ControlId list) override { rows_[list].clear(); }
  void SetColumns(ControlId list, std::span<const ListColumn> columns) override;
  void AppendRow(ControlId list, std::string_view text, std::string_view pidText) override;
  DrawingSurface& ProgressSurface() override { return progress_; }

  bool Visible(ControlId control) const;
  std::string Text(ControlId control) const;
  ControlId Focused() const { return focused_; }
  const std::vector<std::pair<std::string, std::string>>& Rows(ControlId list) { return rows_[list]; }
  const std::vector<ListColumn>& Columns(ControlId list) { return columns_[list]; }
  RasterSurface& progress() { return progress_; }
  // Every visibility change, in order: (control, visible).
  const std::vector<std::pair<ControlId, bool>>& VisibilityLog() const { return visibilityLog_; }

 private:
  std::map<ControlId, bool> visible_;
  std::map<ControlId, std::string> texts_;
  std::map<ControlId, std::vector<std::pair<std::string, std::string>>> rows_;
  std::map<ControlId, std::vector<ListColumn>> columns_;
  std::vector<std::pair<ControlId, bool>> visibilityLog_;
  ControlId focused_ = ControlId::Command1;
  RasterSurface progress_;
  Faults* faults_;
};

}  // namespace foxbane::sim
