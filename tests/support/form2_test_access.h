#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/form2.h"

namespace foxbane {

// The one way in to Form2's private operations, for tests and benches that
// drive a single step of the scan rather than a whole click.
class Form2TestAccess {
 public:
  static void ListProcesses(Form2& form) { form.ListProcesses(); }
  static void ScanProcesses(Form2& form) { form.ScanProcesses(); }
  static void SetScanChunkBytes(Form2& form, std::size_t bytes) { form.SetScanChunkBytes(bytes); }
  static void AddProcessEntry(Form2& form, std::string_view name, std::int32_t pid) {
    form.AddProcessEntry(name, pid);
  }
  static void MatchSignatures(Form2& form, signatures::TextSet found, std::int32_t row) {
    form.MatchSignatures(found, row);
  }
  static std::string ScanLogPath(Form2& form) { return form.ScanLogPath(); }
  static ListView& lvwProcess(Form2& form) { return form.lvwProcess_; }
  static CoolProgress& CoolProgress1(Form2& form) { return form.coolProgress1_; }
};

}  // namespace foxbane
