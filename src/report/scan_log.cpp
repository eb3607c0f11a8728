#include <cstdio>
#include <memory>

#include "app/form2.h"
#include "common/resume_next.h"
#include "foxbane_version.h"

namespace foxbane {

namespace {
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kDetectedHeading = "The following processes were detected as MarbleFox:";
constexpr std::string_view kScannedOn = "Scanned on: ";
constexpr std::string_view kProgramVersion = " with Foxbane v" FOXBANE_VERSION;
constexpr std::string_view kPidSeparator = " - [PID]: ";

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}
}  // namespace

std::string Form2::ScanLogPath() {
  std::string folder = platform_.environment.ApplicationFolder();
  if (!folder.ends_with('\\')) folder += '\\';
  return folder + "scanlog.txt";
}

std::string Form2::ScanTimeStamp() {
  Clock& clock = platform_.clock;
  const LocalDateTime now = clock.Now();
  const std::string time = clock.TimeSeparator();
  const std::string date = clock.DateSeparator();
  char year[8];
  std::snprintf(year, sizeof year, "%04d", now.year);
  return TwoDigits(now.hour) + time + TwoDigits(now.minute) + time + TwoDigits(now.second) + " " +
         TwoDigits(now.month) + date + TwoDigits(now.day) + date + year;
}

// Appends the lines, each ended by CR LF. The opening makes a log marked
// read-only, hidden or system normal, so the record is never lost to an
// attribute, and refuses a link: the log is written where it lies, never
// wherever someone pointed it. Throws StepFailed when the file cannot be
// opened or written; what was already in the file is never touched.
void Form2::AppendToScanLog(const std::vector<std::string>& lines) {
  std::unique_ptr<AppendableFile> log;
  Check(platform_.files.OpenForAppend(ScanLogPath(), log));
  std::string text;
  for (const std::string& line : lines) text.append(line).append(kCrLf);
  Check(log->AppendText(text));
}

// At the end of each pass: the record is on the disk even if the machine
// goes down right after.
void Form2::FlushScanLog() {
  std::unique_ptr<AppendableFile> log;
  Check(platform_.files.OpenForAppend(ScanLogPath(), log));
  Check(log->Flush());
}

void Form2::WriteScanLogBlock() {
  std::vector<std::string> lines{
      "",
      std::string(80, '-'),
      std::string(kDetectedHeading),
      std::string(kScannedOn) + ScanTimeStamp() + std::string(kProgramVersion),
  };
  for (std::int32_t row = 1; row <= resultsList_.Count(); ++row) {
    const ListView::Row& item = resultsList_.Item(row);
    lines.push_back(item.text + std::string(kPidSeparator) + item.pidText);
  }
  AppendToScanLog(lines);
}

void Form2::SeedActivityLog() {
  std::string text = std::string(20, '-');
  text.append(kCrLf).append(kDetectedHeading).append(kCrLf);
  text.append(kScannedOn).append(ScanTimeStamp()).append(kProgramVersion);
  for (std::int32_t row = 1; row <= resultsList_.Count(); ++row) {
    const ListView::Row& item = resultsList_.Item(row);
    text.append(kCrLf).append(item.text).append(kPidSeparator).append(item.pidText);
  }
  SetLogText(std::move(text));
}

}  // namespace foxbane
