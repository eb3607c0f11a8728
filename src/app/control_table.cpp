#include "app/control_table.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "app/texts.h"

namespace foxbane {

namespace {

constexpr FontSpec kDefaultFont{};
constexpr FontSpec kArial8{"Arial", 8.25};
constexpr FontSpec kArial6{"Arial", 6.75};
constexpr FontSpec kTitleFont{"Arial", 20.25, true};
constexpr FontSpec kLinkFont{"Arial", 6.75, false, true};

using C = ControlId;
using K = ControlKind;

// clang-format off
constexpr std::array kControls{
  ControlSpec{C::File1, "File1", K::FileListBox, std::nullopt, {6000, 0, 975, 285}, "", kDefaultFont, false, 22},
  ControlSpec{C::Frame1, "Frame1", K::Frame, std::nullopt, {120, 240, 7095, 3495}, "", kDefaultFont, true, 0},
  ControlSpec{C::clean, "clean", K::Frame, C::Frame1, {240, 840, 6495, 2415}, "", kDefaultFont, false, 14},
  ControlSpec{C::Command3, "Command3", K::Button, C::clean, {240, 1680, 6015, 255}, "Exit", kDefaultFont, true, 15},
  ControlSpec{C::label99, "label99", K::Label, C::clean, {240, 600, 6015, 255}, texts::kNothingFound, kArial8, true, 16, true},
  ControlSpec{C::activityframe, "activityframe", K::Frame, C::Frame1, {240, 840, 6495, 2415}, "", kDefaultFont, false, 23},
  ControlSpec{C::LogText, "LogText", K::TextBox, C::activityframe, {240, 480, 6015, 1215}, "", kDefaultFont, true, 26},
  ControlSpec{C::Command6, "Command6", K::Button, C::activityframe, {240, 1920, 6015, 255}, "Exit", kDefaultFont, true, 24},
  ControlSpec{C::Label9, "Label9", K::Label, C::activityframe, {240, 240, 6015, 255}, "Activity Log:", kArial8, true, 25},
  ControlSpec{C::results, "results", K::Frame, C::Frame1, {240, 840, 6495, 2415}, "", kDefaultFont, false, 10},
  ControlSpec{C::Command5, "Command5", K::Button, C::results, {3120, 1680, 3135, 255}, "Delete File(s) and Cleanup >>", kDefaultFont, true, 21},
  ControlSpec{C::Command2, "Command2", K::Button, C::results, {240, 1680, 2175, 255}, "Exit", kDefaultFont, true, 13},
  ControlSpec{C::ResultsList, "ResultsList", K::ListView, C::results, {240, 600, 6015, 855}, "", kDefaultFont, true, 11},
  ControlSpec{C::Label6, "Label6", K::Label, C::results, {240, 240, 6015, 255}, "_ processes were detected as MarbleFox and were terminated:", kArial8, true, 12},
  ControlSpec{C::scanstatus, "scanstatus", K::Frame, C::Frame1, {240, 840, 6495, 2415}, "", kDefaultFont, false, 6},
  ControlSpec{C::CoolProgress1, "CoolProgress1", K::ProgressBar, C::scanstatus, {240, 1080, 6015, 255}, "", kDefaultFont, false, 9},
  ControlSpec{C::Label5, "Label5", K::Label, C::scanstatus, {1680, 720, 4575, 255}, texts::kGettingProcessList, kArial8, true, 8},
  ControlSpec{C::Label4, "Label4", K::Label, C::scanstatus, {240, 720, 1335, 255}, "Scanning Status:", kArial8, true, 7},
  ControlSpec{C::disclaimer, "disclaimer", K::Frame, C::Frame1, {240, 720, 6735, 2655}, "", kDefaultFont, false, 17},
  ControlSpec{C::Command4, "Command4", K::Button, C::disclaimer, {2400, 2280, 1935, 315}, "OK", kDefaultFont, true, 19},
  ControlSpec{C::Label8, "Label8", K::Label, C::disclaimer, {240, 120, 6255, 2295}, texts::kDisclaimer, kArial6, true, 18, false, true},
  ControlSpec{C::Command1, "Command1", K::Button, C::Frame1, {480, 1920, 6015, 375}, "Scan", kDefaultFont, true, 4},
  ControlSpec{C::Label3, "Label3", K::Label, C::Frame1, {360, 960, 6255, 495}, texts::kDescription, kArial8, true, 3, false, true},
  ControlSpec{C::Label2, "Label2", K::Label, C::Frame1, {240, 240, 6375, 495}, "Foxbane", kTitleFont, true, 2},
  ControlSpec{C::lvwProcess, "lvwProcess", K::ListView, std::nullopt, {0, 0, 5535, 2655}, "", kDefaultFont, false, 5},
  ControlSpec{C::Label7, "Label7", K::LinkLabel, std::nullopt, {120, 3840, 1695, 255}, "Disclaimer of Warranty", kLinkFont, true, 20},
  ControlSpec{C::Label1, "Label1", K::Label, std::nullopt, {4080, 3840, 3135, 255}, texts::kCopyright, kArial8, true, 1},
};
// clang-format on

}  // namespace

std::span<const ControlSpec> MainWindowControls() { return kControls; }

const ControlSpec& SpecOf(ControlId id) {
  const auto found = std::find_if(kControls.begin(), kControls.end(),
                                  [id](const ControlSpec& spec) { return spec.id == id; });
  if (found == kControls.end()) throw std::logic_error("control missing from the layout");
  return *found;
}

}  // namespace foxbane
