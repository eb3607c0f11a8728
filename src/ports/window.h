#pragma once

#include <span>
#include <string>
#include <string_view>

#include "ports/drawing_surface.h"

namespace foxbane {

// The controls of the main window, by their names on the form.
enum class ControlId {
  File1,
  Frame1,
  clean,
  Command3,
  label99,
  activityframe,
  LogText,
  Command6,
  Label9,
  results,
  Command5,
  Command2,
  ResultsList,
  Label6,
  scanstatus,
  CoolProgress1,
  Label5,
  Label4,
  disclaimer,
  Command4,
  Label8,
  Command1,
  Label3,
  Label2,
  lvwProcess,
  Label7,
  Label1,
};

struct ListColumn {
  std::string caption;
  double widthTwips = 0;
};

// The main window as the core sees it: it shows what the core tells it and
// reports clicks back through Form2. The core keeps the authoritative state
// (rows, texts, visibility), so nothing here is ever read back except sizes.
class Window {
 public:
  virtual ~Window() = default;
  virtual void SetVisible(ControlId control, bool visible) = 0;
  // A label's caption or the text box's text.
  virtual void SetText(ControlId control, std::string_view text) = 0;
  virtual void FocusControl(ControlId control) = 0;
  // The control's current width in twips.
  virtual double WidthTwips(ControlId control) = 0;
  // List views: remove all rows.
  virtual void ClearRows(ControlId list) = 0;
  // List views: replace the column headers, report view, headers shown.
  virtual void SetColumns(ControlId list, std::span<const ListColumn> columns) = 0;
  // List views: append a row at the end; rows are never sorted.
  virtual void AppendRow(ControlId list, std::string_view text, std::string_view pidText) = 0;
  // The drawing area of the progress bar control.
  virtual DrawingSurface& ProgressSurface() = 0;
};

}  // namespace foxbane
