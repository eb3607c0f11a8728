// fbdriver: operates a running Foxbane from outside, as a person would, for
// the end-to-end tests and the demo. Every call it makes works across
// processes. It holds no detection text, so the scan it drives leaves it be.
//
//   fbdriver list                          every control: name, class, rectangle, state
//                                          (hidden, covered by other windows, shown), text
//   fbdriver click <caption>...            click each uncovered button or link so captioned
//   fbdriver wait-visible <control> <s>    wait up to s seconds until the control is shown
//   fbdriver text <control>                the control's text (a label, LogText)
//   fbdriver rows <control>                the number of rows of a list view
//   fbdriver msgbox-read-dismiss <s>       wait for the "Foxbane" message box, print its
//                                          text, press OK
//   fbdriver msgbox-answer yes|no|ok <s>   the same, pressing the button named
//   fbdriver screenshot <file.bmp>         the window's client area as a 24-bit BMP
//   fbdriver scan-screenshot <file.bmp>    click "Scan", take the screenshot during the pass
//   fbdriver processes                     every other process: pid, executable path
//   fbdriver launch <report> <program>...  start programs, report their ids and exit codes
//
// Texts are written to standard output in UTF-8, byte for byte (CR LF kept).
// Exit code 0 on success, 1 when the window does not do what was asked, 2 on
// a usage error.

#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/foxbane_window.h"
#include "driver/message_box.h"
#include "driver/processes.h"
#include "driver/scan_screenshot.h"
#include "support/running_program.h"
#include "win32/text.h"
#include "support/window_probe.h"

namespace {

using namespace foxbane;
using namespace foxbane::e2e;
using win32::Narrow;
using win32::testing::TextOf;

constexpr std::chrono::seconds kWindowWait(30);

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

void Write(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

// A text as one field of a listing line: line breaks, tabs and backslashes escaped.
std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

std::chrono::milliseconds Seconds(const std::wstring& text) {
  std::size_t used = 0;
  double seconds = -1;
  try {
    seconds = std::stod(text, &used);
  } catch (const std::logic_error&) {  // not a number, or out of range
  }
  if (used != text.size() || seconds < 0)
    throw UsageError("not a number of seconds: " + Narrow(text));
  return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
}

std::string State(const FoxbaneWindow& window, ControlId id) {
  if (!::IsWindowVisible(window.Control(id))) return "hidden";
  return window.UncoveredPoint(id) ? "shown" : "covered";
}

void ListControls(const FoxbaneWindow& window) {
  for (const ControlSpec& spec : MainWindowControls()) {
    const HWND control = window.Control(spec.id);
    const RECT place = win32::testing::RectInParent(control);
    Write(std::string(spec.name) + "\t" + Narrow(win32::testing::ClassOf(control)) + "\t" +
          std::to_string(place.left) + "," + std::to_string(place.top) + "," +
          std::to_string(place.right) + "," + std::to_string(place.bottom) + "\t" +
          State(window, spec.id) + "\t" + Escaped(Narrow(TextOf(control))) + "\n");
  }
}

void WaitVisible(const FoxbaneWindow& window, ControlId id, std::chrono::milliseconds limit) {
  const HWND control = window.Control(id);
  if (!win32::testing::WaitUntil([&] { return ::IsWindowVisible(control) != FALSE; }, limit)) {
    throw std::runtime_error(std::string(SpecOf(id).name) + " was not shown in time");
  }
}

void Run(const std::vector<std::wstring>& args) {
  if (args.empty()) throw UsageError("no command");
  const std::wstring& command = args[0];
  const auto expect = [&](std::size_t count) {
    if (args.size() != count + 1)
      throw UsageError(Narrow(command) + " takes " + std::to_string(count) + " argument(s)");
  };
  const auto control = [&](std::size_t at) { return ControlNamed(Narrow(args[at])); };

  if (command == L"processes") {
    expect(0);
    for (const RunningProcess& process : ListRunningProcesses()) {
      Write(std::to_string(process.pid) + "\t" + Narrow(process.path) + "\n");
    }
  } else if (command == L"launch") {
    if (args.size() < 3) throw UsageError("launch takes a report file and at least one program");
    LaunchAndWatch(args[1], std::vector<std::wstring>(args.begin() + 2, args.end()));
  } else if (command == L"msgbox-read-dismiss") {
    expect(1);
    Write(ReadAndDismissMessageBox(Seconds(args[1]), IDOK));
  } else if (command == L"msgbox-answer") {
    expect(2);
    const int button = args[1] == L"yes" ? IDYES : args[1] == L"no" ? IDNO : IDOK;
    Write(ReadAndDismissMessageBox(Seconds(args[2]), button));
  } else if (command == L"list") {
    expect(0);
    ListControls(FoxbaneWindow::WaitForIt(kWindowWait));
  } else if (command == L"click") {
    if (args.size() < 2) throw UsageError("click takes at least one caption");
    const FoxbaneWindow window = FoxbaneWindow::WaitForIt(kWindowWait);
    // Every control is found before the first click, so that clicks meant to
    // land together are posted together.
    std::vector<ControlId> targets;
    for (std::size_t i = 1; i < args.size(); ++i)
      targets.push_back(window.ClickableCaptioned(args[i]));
    for (const ControlId target : targets) window.Click(target);
  } else if (command == L"wait-visible") {
    expect(2);
    WaitVisible(FoxbaneWindow::WaitForIt(kWindowWait), control(1), Seconds(args[2]));
  } else if (command == L"text") {
    expect(1);
    Write(Narrow(TextOf(FoxbaneWindow::WaitForIt(kWindowWait).Control(control(1)))));
  } else if (command == L"rows") {
    expect(1);
    const HWND list = FoxbaneWindow::WaitForIt(kWindowWait).Control(control(1));
    Write(std::to_string(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) + "\n");
  } else if (command == L"screenshot") {
    expect(1);
    win32::testing::SaveScreenshot(FoxbaneWindow::WaitForIt(kWindowWait).Handle(), args[1]);
  } else if (command == L"scan-screenshot") {
    expect(1);
    ScreenshotDuringScan(FoxbaneWindow::WaitForIt(kWindowWait), args[1], kWindowWait);
  } else {
    throw UsageError("unknown command " + Narrow(command));
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  try {
    Run(std::vector<std::wstring>(argv + 1, argv + argc));
    return 0;
  } catch (const UsageError& error) {
    std::fprintf(stderr, "fbdriver: %s\n", error.what());
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fbdriver: %s\n", error.what());
    return 1;
  }
}
