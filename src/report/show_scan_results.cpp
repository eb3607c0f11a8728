#include "app/form2.h"
#include "common/resume_next.h"
#include "common/vb_conversions.h"
#include "report/startup_entries.h"

namespace foxbane {

namespace {
constexpr std::string_view kOneDetected = " process was detected as MarbleFox and was terminated:";
constexpr std::string_view kManyDetected =
    " processes were detected as MarbleFox and were terminated:";
constexpr std::string_view kCurrentUserRoot = "-2147483647";
constexpr std::string_view kLocalMachineRoot = "-2147483646";
constexpr std::string_view kUsersRoot = "-2147483645";

}  // namespace

void Form2::ShowScanResults() {
  BeginQuarantineSession();
  const std::int32_t detected = resultsList_.Count();
  for (std::int32_t i = 1; i <= detected; ++i) {
    const ListView::Row& row = resultsList_.Item(i);
    module1_.KillProcess(ToInt32(row.pidText), row.text, row.started, row.identity);
  }

  const std::int32_t count = resultsList_.Count();
  SetCaption(ControlId::Label6, DecimalText(count) +
                                    std::string(count == 1 ? kOneDetected : kManyDetected));

  SetVisible(ControlId::results, true);
  platform_.window.FocusControl(ControlId::Command5);
  SetVisible(ControlId::scanstatus, false);

  // From here on a failing step is skipped: the log, the ActivityLog and the
  // startup entries of each root are independent of one another.
  ResumeNext resume;
  resume([&] { WriteScanLogBlock(); });
  resume([&] { FlushScanLog(); });
  resume([&] { SeedActivityLog(); });

  cRegistry runKey(platform_.registry, platform_.environment);
  resume([&] { RemoveStartupEntries(runKey, kCurrentUserRoot, "HKCU", kRunKeyPath); });
  resume([&] {
    const std::string loggedOn = LoggedOnUserRunKey();
    if (!loggedOn.empty()) RemoveStartupEntries(runKey, kUsersRoot, "HKU", loggedOn);
  });
  platform_.loop.YieldToPendingMessages();
  resume([&] { RemoveStartupEntries(runKey, kLocalMachineRoot, "HKLM", kRunKeyPath); });
  ReportLeftBehind();
}

// Run as another account (an administrator's password typed at the
// elevation prompt), HKCU is that account's: the Run values of the user who
// logged on, where the adware put itself, are under HKEY_USERS, in the hive
// the logon loaded (none is loaded here). Empty when the program runs as
// that user, or the user is unknown.
std::string Form2::LoggedOnUserRunKey() {
  const std::string shellUser = platform_.environment.ShellUserSid();
  if (!IsStringSid(shellUser) ||
      ToUpperAscii(shellUser) == ToUpperAscii(platform_.environment.ProgramUserSid())) {
    return {};
  }
  return shellUser + "\\" + std::string(kRunKeyPath);
}

void Form2::RemoveStartupEntries(cRegistry& runKey, std::string_view rootText,
                                 std::string_view hiveName, std::string_view runKeyPath) {
  runKey.ClassKey(ToInt32(rootText));
  runKey.SectionKey(std::string(runKeyPath));
  ResumeNext resume;
  // A 32-bit program's machine-wide Run values sit in the 32-bit view.
  for (const RegView view : registry_.ViewsOf(hiveName)) {
    runKey.View(view);
    std::vector<std::string> names;
    std::int32_t count = 0;
    runKey.EnumerateValues(names, count);

    for (std::int32_t j = 1; j <= count; ++j) {
      resume([&] {
        const std::string& name = names.at(static_cast<std::size_t>(j - 1));
        Variant data;
        registry_.ReadRegValue(hiveName, runKeyPath, name, "S", Variant(kNoValue), data, view);
        std::string command = data.Text();
        if (command.empty()) command = kNoValue;

        const std::int32_t rows = resultsList_.Count();
        for (std::int32_t k = 1; k <= rows; ++k) {
          if (command.find(resultsList_.Item(k).text) != std::string::npos) {
            Settled(DeleteRegValueKept(hiveName, runKeyPath, name, view));
          }
        }
      });
    }
  }
}

}  // namespace foxbane
