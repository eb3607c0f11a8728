#include <memory>
#include <string>
#include <vector>

#include "app/form2.h"
#include "common/resume_next.h"
#include "common/utf.h"
#include "fileops/drive_path.h"

namespace foxbane {

namespace {

constexpr std::int16_t kWindows9x = 1;
constexpr std::int16_t kWindowsNt = 2;
constexpr std::string_view kObjectManagerPrefix = "\\??\\";
constexpr std::string_view kSystemRootPrefix = "\\SystemRoot\\";
constexpr std::uint32_t kIdBytes = sizeof(std::uint32_t);

// Lower case as the 95/98/Me family's code page 1252 has it: the ASCII
// letters and the accented capitals of that code page.
std::string LowerCaseAnsi(std::string_view utf8) {
  std::u16string text = Utf16FromUtf8(utf8);
  for (char16_t& c : text) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
      c = static_cast<char16_t>(c + 0x20);
    } else if (c == 0x160 || c == 0x152 || c == 0x17D) {  // Š Œ Ž
      c = static_cast<char16_t>(c + 1);
    } else if (c == 0x178) {  // Ÿ
      c = 0xFF;
    }
  }
  return Utf8FromUtf16(text);
}

}  // namespace

void Form2::ApplyProcessListLayout(ListView& list) {
  list.Clear();
  // Both lists take their widths from the process list, read in single
  // precision.
  const double width = static_cast<float>(platform_.window.WidthTwips(ControlId::lvwProcess));
  list.SetColumns({{"Process", 0.8 * width}, {"PID", 0.175 * width}});
}

void Form2::ListProcesses() {
  ApplyProcessListLayout(lvwProcess_);
  switch (module1_.GetPlatformId()) {
    case kWindows9x:
      ListProcesses9x();
      break;
    case kWindowsNt:
      ListProcessesNT();
      break;
    default:  // an unknown family: the list stays laid out and empty
      break;
  }
}

void Form2::ListProcesses9x() {
  const std::unique_ptr<ProcessSnapshot> snapshot = platform_.processes.TakeSnapshot();
  if (!snapshot) return;
  ProcessEntry entry;
  ResumeNext resume;  // a row the list cannot take is left out, the rest still listed
  for (bool more = snapshot->First(entry); more; more = snapshot->Next(entry)) {
    resume([&] {
      AddProcessEntry(LowerCaseAnsi(entry.exeFile), static_cast<std::int32_t>(entry.pid));
    });
  }
}

void Form2::ListProcessesNT() {
  Processes& processes = platform_.processes;
  // The system does not say when the list is cut short: only a buffer it
  // leaves room in is known to hold every PID.
  std::uint32_t size = 8;
  std::uint32_t reported = 96;
  bool listed = false;
  std::vector<std::uint32_t> ids;
  while (size <= reported) {
    size *= 2;
    ids.assign(size / kIdBytes, 0);
    listed = processes.EnumerateIds(ids, reported);
  }
  // After a failed call the buffer holds no PIDs, only the zeros it was
  // made with, whatever count an earlier call left.
  const std::uint32_t count = listed ? reported / kIdBytes : 0;
  ResumeNext resume;  // a row the list cannot take is left out, the rest still listed
  for (std::uint32_t k = 0; k < count; ++k) {
    resume([&] {
      const std::uint32_t pid = ids[k];
      std::string name;
      std::uint64_t started = 0;
      if (!ReadProcessIdentity(pid, name, started)) return;
      if (!name.starts_with(kObjectManagerPrefix) && !name.starts_with(kSystemRootPrefix)) {
        AddProcessEntry(name, static_cast<std::int32_t>(pid), started);
      }
    });
  }
}

// Where the system has it, the image path comes from the limited query: it
// reaches elevated and service processes, and a process cannot rewrite it
// the way it can the module list in its own memory. Elsewhere the module
// list gives it, and a name that cannot be read is listed empty. The start
// time tells this process from a later one given the same id; 0 when it
// cannot be read.
bool Form2::ReadProcessIdentity(std::uint32_t pid, std::string& name, std::uint64_t& started) {
  Processes& processes = platform_.processes;
  if (processes.HasImagePathQuery()) {
    const std::unique_ptr<OpenedProcess> process =
        processes.Open(process_access::kQueryLimited, false, pid);
    if (!process || !process->ImagePath(name)) return false;
    if (!process->StartTime(started)) started = 0;
    return true;
  }
  const std::unique_ptr<OpenedProcess> process =
      processes.Open(process_access::kQueryAndRead, false, pid);
  std::uintptr_t module = 0;
  if (!process || !process->FirstModule(module)) return false;
  name = process->ModuleFileName(module);
  if (!process->StartTime(started)) started = 0;
  return true;
}

// A program started through "\\?\C:\..." is listed, scanned and cleaned
// as "C:\...", the form the Run values, the uninstall entries and the
// guards of the cleanup know.
void Form2::AddProcessEntry(std::string_view name, std::int32_t pid, std::uint64_t started) {
  lvwProcess_.Add(PlainLocalPath(name), pid, started);
}

}  // namespace foxbane
