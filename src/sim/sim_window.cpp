#include "sim/sim_window.h"

#include <stdexcept>

#include "app/control_table.h"

namespace foxbane::sim {

SimWindow::SimWindow(Faults* faults)
    : progress_(SpecOf(ControlId::CoolProgress1).rect.width / 15,
                SpecOf(ControlId::CoolProgress1).rect.height / 15),
      faults_(faults) {
  for (const ControlSpec& spec : MainWindowControls()) {
    visible_[spec.id] = spec.visibleAtStart;
    texts_[spec.id] = std::string(spec.caption);
  }
}

void SimWindow::SetVisible(ControlId control, bool visible) {
  visible_[control] = visible;
  visibilityLog_.emplace_back(control, visible);
}

void SimWindow::SetText(ControlId control, std::string_view text) { texts_[control] = text; }

double SimWindow::WidthTwips(ControlId control) { return SpecOf(control).rect.width; }

void SimWindow::SetColumns(ControlId list, std::span<const ListColumn> columns) {
  columns_[list].assign(columns.begin(), columns.end());
}

void SimWindow::AppendRow(ControlId list, std::string_view text, std::string_view pidText) {
  if (faults_ && faults_->Next("Window.AppendRow", text)) throw std::runtime_error("no row added");
  rows_[list].emplace_back(std::string(text), std::string(pidText));
}

bool SimWindow::Visible(ControlId control) const { return visible_.at(control); }

std::string SimWindow::Text(ControlId control) const { return texts_.at(control); }

}  // namespace foxbane::sim
