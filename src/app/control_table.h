#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "ports/window.h"

namespace foxbane {

enum class ControlKind {
  Frame,
  Label,
  LinkLabel,  // a clickable label
  Button,
  TextBox,    // multi-line, vertical scroll bar
  ListView,   // report view
  FileListBox,
  ProgressBar,
};

struct FontSpec {
  std::string_view face;  // empty: the window's default font
  double points = 0;
  bool bold = false;
  bool underline = false;
};

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// One control of the main window, as laid out on the form.
struct ControlSpec {
  ControlId id;
  std::string_view name;
  ControlKind kind;
  std::optional<ControlId> parent;  // none: the window itself
  TwipsRect rect;                   // relative to the parent's client area
  std::string_view caption;
  FontSpec font;
  bool visibleAtStart;
  int tabIndex;
  bool centred = false;
  bool wordWrap = false;
};

namespace window_layout {
inline constexpr std::string_view kTitle = "Foxbane";
inline constexpr int kClientWidthTwips = 7305;
inline constexpr int kClientHeightTwips = 4215;
inline constexpr int kTwipsPerInch = 1440;
}  // namespace window_layout

// Every control, containers before their contents, and within a container
// from the top of the stacking order to the bottom.
std::span<const ControlSpec> MainWindowControls();
const ControlSpec& SpecOf(ControlId id);

// The five panels, in the order Form_Load hides them.
inline constexpr ControlId kPanels[] = {ControlId::scanstatus, ControlId::results,
                                        ControlId::clean, ControlId::disclaimer,
                                        ControlId::activityframe};

}  // namespace foxbane
