#pragma once

#include "app/form2.h"
#include "win32/clock.h"
#include "win32/environment.h"
#include "win32/file_system.h"
#include "win32/processes.h"
#include "win32/profile_files.h"
#include "win32/registry.h"
#include "win32/user_messages.h"

namespace foxbane::win32::testing {

// The window's core over the real system adapters, with no window made:
// for tests of the core's work against the real system that need no screen.
// Message boxes are real and have no owner.
class HeadlessForm {
 public:
  HeadlessForm();
  HeadlessForm(const HeadlessForm&) = delete;
  HeadlessForm& operator=(const HeadlessForm&) = delete;

  Form2& form() { return form_; }

 private:
  // Shows nothing; answers sizes from the control table.
  class NoSurface : public DrawingSurface {
   public:
    double WidthTwips() override;
    double HeightTwips() override;
    double TwipsPerPixelX() override { return 15; }
    double TwipsPerPixelY() override { return 15; }
    void Line(double, double, double, double, Rgb) override {}
    void Outline(double, double, double, double, Rgb) override {}
    void Fill(double, double, double, double, Rgb) override {}
  };
  class NoWindow : public Window {
   public:
    void SetVisible(ControlId, bool) override {}
    void SetText(ControlId, std::string_view) override {}
    void FocusControl(ControlId) override {}
    double WidthTwips(ControlId control) override;
    void ClearRows(ControlId) override {}
    void SetColumns(ControlId, std::span<const ListColumn>) override {}
    void AppendRow(ControlId, std::string_view, std::string_view) override {}
    DrawingSurface& ProgressSurface() override { return surface_; }

   private:
    NoSurface surface_;
  };
  // Nothing is ever pending.
  class NoLoop : public EventLoop {
   public:
    void YieldToPendingMessages() override {}
    void EndProgram() override {}
  };

  Win32FileSystem files_;
  Win32Processes processes_;
  Win32Registry registry_;
  Win32ProfileFiles profiles_;
  Win32Environment environment_;
  Win32Clock clock_;
  Win32UserMessages messages_{nullptr};
  NoLoop loop_;
  NoWindow window_;
  Platform platform_;
  Form2 form_;
};

}  // namespace foxbane::win32::testing
