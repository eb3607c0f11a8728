// fbdriver: operates a running Foxbane from outside, as a person would, for
// the end-to-end tests and the demo. Every call it makes works across
// processes. It holds no detection text, so the scan it drives leaves it be.
//
//   fbdriver shown                         the names of the shown controls, one a line
//   fbdriver click <caption>...            click each uncovered button or link so captioned
//   fbdriver wait-visible <control> <s>    wait up to s seconds until the control is shown
//   fbdriver text <control>                the control's text (a label, LogText)
//   fbdriver rows <control>                the number of rows of a list view
//   fbdriver msgbox ok|yes <s>             wait for the "Foxbane" message box, print its
//                                          text, press the button named
//   fbdriver screenshot <file.bmp>         the window's client area as a 24-bit BMP
//   fbdriver scan-screenshot <file.bmp>    click "Scan", take the screenshot during the pass
//   fbdriver time-scan <s>                 click "Scan", print the milliseconds until the
//                                          pass ends on its panel (up to s seconds)
//   fbdriver processes                     every other process: pid, executable path
//   fbdriver launch <program>...           start programs, print their ids and exit codes
//   fbdriver hold <file> <s>               hold the file open for writing, without sharing
//                                          its deletion, for s seconds; print "held"
//
// Texts are written to standard output in UTF-8, byte for byte (CR LF kept).
// Exit code 0 on success, 1 with the reason on standard error otherwise.

#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/foxbane_window.h"
#include "driver/processes.h"
#include "driver/scan_timing.h"
#include "driver/screenshot.h"
#include "support/running_program.h"
#include "support/window_probe.h"
#include "win32/text.h"

namespace {

using namespace foxbane;
using namespace foxbane::e2e;
using win32::Narrow;
using win32::testing::TextOf;
using win32::testing::WaitUntil;

constexpr std::chrono::seconds kWindowWait(30);
// The id the system gives a message box's text.
constexpr int kMessageTextId = 0xFFFF;

void Write(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

std::chrono::milliseconds Seconds(const std::wstring& text) {
  return std::chrono::milliseconds(std::lround(std::stod(text) * 1000));
}

void AnswerMessageBox(int button, std::chrono::milliseconds limit) {
  const HWND box = win32::testing::WaitForShownWindow(win32::testing::kMessageBoxClass, limit);
  if (!box) throw std::runtime_error("no message box captioned Foxbane appeared");
  const HWND text = ::GetDlgItem(box, kMessageTextId);
  const HWND pressed = ::GetDlgItem(box, button);
  if (!text || !pressed) throw std::runtime_error("the message box has no text or no such button");
  Write(Narrow(TextOf(text)));
  ::PostMessageW(pressed, BM_CLICK, 0, 0);
  if (!WaitUntil([&] { return !::IsWindow(box); }, limit))
    throw std::runtime_error("the message box stayed open after its button was pressed");
}

// Holds the file open as a program writing it would (sharing read and
// write, not delete) for SECONDS, having said "held" once it does.
void HoldOpen(const std::wstring& path, DWORD seconds) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot hold " + Narrow(path));
  Write("held\n");
  std::fflush(stdout);
  ::Sleep(seconds * 1000);
  ::CloseHandle(file);
}

void Run(const std::vector<std::wstring>& args) {
  const auto arg = [&](std::size_t at) -> const std::wstring& {
    if (at >= args.size()) throw std::runtime_error("too few arguments (see fbdriver.cpp)");
    return args[at];
  };
  const std::wstring& command = arg(0);
  if (command == L"processes") return PrintRunningProcesses();
  if (command == L"launch") return LaunchAndWatch({args.begin() + 1, args.end()});
  if (command == L"hold") return HoldOpen(arg(1), static_cast<DWORD>(std::stoul(arg(2))));
  if (command == L"msgbox") {
    const int button = arg(1) == L"yes" ? IDYES
                       : arg(1) == L"ok"  ? IDOK
                                          : throw std::runtime_error("msgbox presses ok or yes");
    return AnswerMessageBox(button, Seconds(arg(2)));
  }
  const FoxbaneWindow window = FoxbaneWindow::WaitForIt(kWindowWait);
  const auto control = [&](std::size_t i) { return window.Control(ControlNamed(Narrow(arg(i)))); };
  if (command == L"shown") {
    for (const ControlSpec& spec : MainWindowControls()) {
      if (::IsWindowVisible(window.Control(spec.id))) Write(std::string(spec.name) + "\n");
    }
  } else if (command == L"click") {
    // Every control is found before the first click, so that clicks meant to
    // land together are posted together.
    std::vector<ControlId> targets;
    for (auto caption = args.begin() + 1; caption != args.end(); ++caption)
      targets.push_back(window.ClickableCaptioned(*caption));
    for (const ControlId target : targets) window.Click(target);
  } else if (command == L"wait-visible") {
    const HWND shown = control(1);
    if (!WaitUntil([&] { return ::IsWindowVisible(shown) != FALSE; }, Seconds(arg(2))))
      throw std::runtime_error(Narrow(arg(1)) + " was not shown in time");
  } else if (command == L"text") {
    Write(Narrow(TextOf(control(1))));
  } else if (command == L"rows") {
    Write(std::to_string(::SendMessageW(control(1), LVM_GETITEMCOUNT, 0, 0)) + "\n");
  } else if (command == L"screenshot") {
    SaveScreenshot(window.Handle(), arg(1));
  } else if (command == L"scan-screenshot") {
    ScreenshotDuringScan(window, arg(1), kWindowWait);
  } else if (command == L"time-scan") {
    std::printf("%.1f\n", TimeScan(window, Seconds(arg(1))).count());
  } else {
    throw std::runtime_error("unknown command " + Narrow(command));
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  try {
    Run(std::vector<std::wstring>(argv + 1, argv + argc));
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fbdriver: %s\n", error.what());
    return 1;
  }
}
