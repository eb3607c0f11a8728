#include "scan_rig.h"

#include "support/form2_test_access.h"

namespace foxbane::bench {

ScanRig::ScanRig(const std::vector<std::string>& executables, std::size_t pieceBytes) {
  std::uint32_t pid = 1000;
  for (const std::string& path : executables) processes_.AddProcess(pid += 4, path);
  Form2TestAccess::ListProcesses(form_);
  if (pieceBytes != 0) Form2TestAccess::SetScanChunkBytes(form_, pieceBytes);
}

void ScanRig::ScanPass() { Form2TestAccess::ScanProcesses(form_); }

}  // namespace foxbane::bench
