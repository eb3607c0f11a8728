#include "app/form2.h"

#include "app/control_table.h"
#include "common/resume_next.h"

namespace foxbane {

namespace {
constexpr std::size_t IndexOf(ControlId control) { return static_cast<std::size_t>(control); }
constexpr std::size_t kControlCount = IndexOf(ControlId::Label1) + 1;
}  // namespace

// Counts the handlers running, so that a handler entered again from a yield
// (inside a scan or the results step) can tell. The program ends only when
// the outermost one returns: a step never stops half-way.
class Form2::BusyScope {
 public:
  explicit BusyScope(Form2& form) : form_(form) { ++form_.busyDepth_; }
  ~BusyScope() {
    if (--form_.busyDepth_ == 0 && form_.endRequested_) form_.platform_.loop.EndProgram();
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Form2& form_;
};

Form2::Form2(Platform& platform)
    : platform_(platform),
      module1_(platform.processes, platform.messages),
      registry_(platform.registry, platform.profiles, platform.files),
      lvwProcess_(platform.window, ControlId::lvwProcess),
      resultsList_(platform.window, ControlId::ResultsList),
      file1_(platform.files),
      coolProgress1_(platform.window.ProgressSurface()),
      visible_(kControlCount, false),
      captions_(kControlCount) {
  for (const ControlSpec& spec : MainWindowControls()) {
    visible_[IndexOf(spec.id)] = spec.visibleAtStart;
    captions_[IndexOf(spec.id)] = spec.caption;
  }
  coolProgress1_.InitProperties();
}

void Form2::Form_Load() {
  for (ControlId panel : kPanels) SetVisible(panel, false);
}

void Form2::Click(ControlId control) {
  BusyScope busy(*this);
  // A handler's failure must never reach the window procedure: the user
  // sees nothing but the termination message.
  ResumeNext resume;
  resume([&] { Dispatch(control); });
}

void Form2::Dispatch(ControlId control) {
  switch (control) {
    case ControlId::Command1:
      // The covered "Scan" button keeps the focus during a scan; a second
      // press (Enter, space) must not start a scan inside the running one.
      if (busyDepth_ == 1) Command1_Click();
      break;
    case ControlId::Command5:
      Command5_Click();
      break;
    case ControlId::Label7:
      Label7_Click();
      break;
    case ControlId::Command4:
      Command4_Click();
      break;
    case ControlId::Command2:
      Command2_Click();
      break;
    case ControlId::Command3:
      Command3_Click();
      break;
    case ControlId::Command6:
      Command6_Click();
      break;
    default:
      break;
  }
}

void Form2::PaintProgress() { coolProgress1_.Paint(); }

void Form2::Close() {
  BusyScope busy(*this);
  endRequested_ = true;
}

void Form2::Label7_Click() {
  SetVisible(ControlId::disclaimer, true);
  SetVisible(ControlId::scanstatus, false);
  SetVisible(ControlId::results, false);
  SetVisible(ControlId::clean, false);
  SetVisible(ControlId::activityframe, false);
}

void Form2::Command4_Click() {
  SetVisible(ControlId::scanstatus, false);
  SetVisible(ControlId::results, false);
  SetVisible(ControlId::clean, false);
  SetVisible(ControlId::disclaimer, false);
}

// "Exit": the program ends as the click's handler returns, after any step
// the click interrupted in its yield.
void Form2::Command2_Click() { endRequested_ = true; }
void Form2::Command3_Click() { endRequested_ = true; }
void Form2::Command6_Click() { endRequested_ = true; }

bool Form2::Visible(ControlId control) const { return visible_[IndexOf(control)]; }

const std::string& Form2::Caption(ControlId control) const { return captions_[IndexOf(control)]; }

void Form2::SetVisible(ControlId control, bool visible) {
  const bool wasVisible = visible_[IndexOf(control)];
  visible_[IndexOf(control)] = visible;
  platform_.window.SetVisible(control, visible);
  if (control == ControlId::CoolProgress1 && visible && !wasVisible) coolProgress1_.Show();
}

void Form2::SetCaption(ControlId control, std::string_view caption) {
  captions_[IndexOf(control)] = caption;
  platform_.window.SetText(control, caption);
}

void Form2::SetLogText(std::string text) {
  logText_ = std::move(text);
  platform_.window.SetText(ControlId::LogText, logText_);
}

}  // namespace foxbane
