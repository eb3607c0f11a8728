#pragma once

#include <cstddef>
#include <string>

#include "app/form2.h"

namespace foxbane {

// The one way in to Form2's private operations, for tests and benches that
// drive a single step of the scan rather than a whole click.
class Form2TestAccess {
 public:
  static void ListProcesses(Form2& form) { form.ListProcesses(); }
  static void ScanProcesses(Form2& form) { form.ScanProcesses(); }
  static void SetScanChunkBytes(Form2& form, std::size_t bytes) { form.SetScanChunkBytes(bytes); }
  static std::string ScanLogPath(Form2& form) { return form.ScanLogPath(); }
  static CoolProgress& CoolProgress1(Form2& form) { return form.coolProgress1_; }
};

}  // namespace foxbane
