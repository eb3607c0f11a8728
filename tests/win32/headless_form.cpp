#include "headless_form.h"

#include "app/control_table.h"

namespace foxbane::win32::testing {

HeadlessForm::HeadlessForm()
    : platform_{files_, processes_, registry_, profiles_, environment_, clock_, messages_, loop_,
                window_},
      form_(platform_) {}

double HeadlessForm::NoSurface::WidthTwips() { return SpecOf(ControlId::CoolProgress1).rect.width; }
double HeadlessForm::NoSurface::HeightTwips() {
  return SpecOf(ControlId::CoolProgress1).rect.height;
}
double HeadlessForm::NoWindow::WidthTwips(ControlId control) { return SpecOf(control).rect.width; }

}  // namespace foxbane::win32::testing
