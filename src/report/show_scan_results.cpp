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
}  // namespace

void Form2::ShowScanResults() {
  BeginQuarantineSession();
  const std::int32_t detected = resultsList_.Count();
  for (std::int32_t i = 1; i <= detected; ++i) {
    const ListView::Row& row = resultsList_.Item(i);
    module1_.KillProcess(ToInt32(row.pidText), row.text, row.started);
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
  resume([&] { RemoveStartupEntries(runKey, kCurrentUserRoot, "HKCU"); });
  platform_.loop.YieldToPendingMessages();
  resume([&] { RemoveStartupEntries(runKey, kLocalMachineRoot, "HKLM"); });
  ReportUnkeptRemovals();
}

void Form2::RemoveStartupEntries(cRegistry& runKey, std::string_view rootText,
                                 std::string_view hiveName) {
  runKey.ClassKey(ToInt32(rootText));
  runKey.SectionKey(std::string(kRunKeyPath));
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
        registry_.ReadRegValue(hiveName, kRunKeyPath, name, "S", Variant(kNoValue), data, view);
        std::string command = data.Text();
        if (command.empty()) command = kNoValue;

        const std::int32_t rows = resultsList_.Count();
        for (std::int32_t k = 1; k <= rows; ++k) {
          if (command.find(resultsList_.Item(k).text) != std::string::npos) {
            DeleteRegValueKept(hiveName, kRunKeyPath, name, view);
          }
        }
      });
    }
  }
}

}  // namespace foxbane
