#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/list_view.h"
#include "cleanup/left_behind.h"
#include "cleanup/quarantine.h"
#include "cleanup/removal_guards.h"
#include "fileops/file_list_box.h"
#include "ports/platform.h"
#include "progress/cool_progress.h"
#include "registry/c_registry.h"
#include "registry/mod_registry.h"
#include "scan/file_text_search.h"
#include "scan/module1.h"

namespace foxbane {

// The program's one window. Its public face is what the window adapter
// needs: the window's events, and a read-only view of what it shows. Behind
// it, its handlers and operations are defined next to the work they do, one
// group a folder, as listed below. Tests reach the private operations
// through Form2TestAccess (tests/support).
class Form2 {
 public:
  explicit Form2(Platform& platform);
  Form2(const Form2&) = delete;
  Form2& operator=(const Form2&) = delete;

  // Window events, as the window adapter delivers them.
  void Form_Load();
  void Click(ControlId control);
  void PaintProgress();
  // The close box (Alt+F4): ends the program once no handler is running.
  void Close();

  // What the window shows.
  bool Visible(ControlId control) const;
  const std::string& Caption(ControlId control) const;
  const std::string& LogTextText() const { return logText_; }
  const ListView& lvwProcess() const { return lvwProcess_; }
  const ListView& ResultsList() const { return resultsList_; }
  const CoolProgress& CoolProgress1() const { return coolProgress1_; }

 private:
  friend class Form2TestAccess;
  class BusyScope;

  // Screen flow: panels, captions and the buttons that only switch panels
  // (app/form2.cpp).
  void Dispatch(ControlId control);
  void Label7_Click();
  void Command4_Click();
  void Command2_Click();
  void Command3_Click();
  void Command6_Click();
  void SetVisible(ControlId control, bool visible);
  void SetCaption(ControlId control, std::string_view caption);
  void SetLogText(std::string text);

  // The scan: listing, the pass, detection (scan/).
  void Command1_Click();
  void ScanProcesses();
  // How many bytes of a file the scan reads at a time (tests make it small).
  void SetScanChunkBytes(std::size_t bytes);
  void ListProcesses();
  void ListProcesses9x();
  void ListProcessesNT();
  void ApplyProcessListLayout(ListView& list);
  bool ReadProcessIdentity(std::uint32_t pid, std::string& name, std::uint64_t& started);
  void AddProcessEntry(std::string_view name, std::int32_t pid, std::uint64_t started = 0);
  // `identity`: of the file the scan read for the row.
  void MatchSignatures(signatures::TextSet found, std::int32_t row, FileIdentity identity);
  void AddDetectedProcess(std::string_view name, std::int32_t pid, std::uint64_t started,
                          FileIdentity identity);

  // The results step and the scan log (report/).
  void ShowScanResults();
  void RemoveStartupEntries(cRegistry& runKey, std::string_view rootText,
                            std::string_view hiveName, std::string_view runKeyPath);
  std::string LoggedOnUserRunKey();
  std::string ScanLogPath();
  void AppendToScanLog(const std::vector<std::string>& lines);
  void FlushScanLog();
  std::string ScanTimeStamp();
  void WriteScanLogBlock();
  void SeedActivityLog();

  // The cleanup and its stages (cleanup/).
  void Command5_Click();
  void LogCleanupLine(std::string_view entryText);
  void RemoveRowRemnants(std::int32_t row);
  void RemoveRegistryRemnants();
  void RemoveDownloadedFiles(RemovalGuards& guards, RegView view);
  void BlockControlInstallation();

  // Removals kept in the quarantine first (cleanup/kept_removals.cpp). Each
  // tells whether what was to go is gone, asked again afterwards; a worse
  // outcome explains the better ones (a key that could not be kept keeps
  // its parent too).
  enum class Outcome { kGone, kLeft, kNotKept };
  template <typename Change, typename Gone>
  Outcome RemoveKept(Keeping keeping, Change change, Gone gone);
  bool Settled(Outcome outcome);
  void BeginQuarantineSession();
  Quarantine& Kept();
  Outcome DeleteRegValueKept(std::string_view hiveName, std::string_view keyPath,
                             std::string_view valueName, RegView view);
  Outcome DeleteRegKeyKept(std::string_view hiveName, std::string_view keyPath,
                           std::string_view subKeyName, RegView view);
  void WriteRegValueProtective(std::string_view hiveName, std::string_view keyPath,
                               std::string_view valueName, std::string_view typeCode,
                               const Variant& value, RegView view);
  // A file or an empty folder, kept first and removed through the handle it
  // was checked on (cleanup/removal.h). One in use is kept and goes when
  // Windows restarts; the user is told after the pass.
  enum class ItemRemoval { kGone, kAtRestart, kLeft };
  ItemRemoval RemoveItemKept(const std::string& path, bool folder, const FileIdentity* scanned);
  void ReportLeftBehind();

  Platform& platform_;
  Module1 module1_;
  modRegistry registry_;
  ListView lvwProcess_;
  ListView resultsList_;
  FileListBox file1_;
  CoolProgress coolProgress1_;
  std::vector<bool> visible_;
  std::vector<std::string> captions_;
  std::string logText_;
  std::string scanFile_;
  // The chunk buffer, its carry and the thread that searches it.
  std::unique_ptr<FileTextSearch> scanData_ = std::make_unique<FileTextSearch>();
  std::unique_ptr<Quarantine> quarantine_;  // this scan's session
  left_behind::Reasons leftBehind_ = left_behind::kNone;  // in this session
  left_behind::Reasons told_ = left_behind::kNone;
  int busyDepth_ = 0;
  bool endRequested_ = false;
};

}  // namespace foxbane
