// Ending a real process, and the real message box of a failed termination.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "running_program.h"
#include "scan/module1.h"
#include "support/waiting_process.h"
#include "support/wine.h"
#include "win32/processes.h"
#include "win32/text.h"
#include "win32/user_messages.h"

namespace foxbane::win32::testing {
namespace {

class RecordingMessages : public UserMessages {
 public:
  void ShowModal(std::string_view text) override { shown.emplace_back(text); }
  std::vector<std::string> shown;
};

TEST(KillProcessOnTheSystem, EndsARealProcessWithExitCodeZero) {
  const test_support::WaitingProcess waiting;
  Win32Processes processes;
  RecordingMessages messages;
  Module1 module1(processes, messages);
  module1.KillProcess(static_cast<std::int32_t>(waiting.Pid()));
  EXPECT_EQ(waiting.ExitCodeAfterEnd(), 0u);
  EXPECT_TRUE(messages.shown.empty());
}

// What a message box captioned "Foxbane" says, read from another thread
// while the box waits, which it then dismisses with OK.
class MessageBoxReader {
 public:
  MessageBoxReader()
      : thread_([this] {
          HWND box = nullptr;
          WaitUntil([&] { return (box = ::FindWindowW(L"#32770", L"Foxbane")) != nullptr; });
          if (!box) return;
          constexpr int kTextControl = 0xFFFF;
          wchar_t text[1024] = {};
          ::GetDlgItemTextW(box, kTextControl, text, 1024);
          text_ = Narrow(text);
          ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }) {}
  ~MessageBoxReader() { Join(); }

  // The text, once the box has been dismissed; empty if none was shown.
  const std::string& Text() {
    Join();
    return text_;
  }

 private:
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

  std::string text_;
  std::thread thread_;
};

TEST(KillProcessOnTheSystem, ShowsAFailedTerminationInAMessageBox) {
  Win32Processes processes;
  Win32UserMessages messages(nullptr);
  Module1 module1(processes, messages);
  MessageBoxReader reader;
  module1.KillProcess(0x7FFFFFF0);  // no such process
  EXPECT_EQ(reader.Text(),
            "There was an error while trying to terminate the process - please try running "
            "Foxbane again.\n\nERROR: " +
                test_support::InvalidHandleText());
}

}  // namespace
}  // namespace foxbane::win32::testing
