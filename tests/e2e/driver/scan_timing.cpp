#include "driver/scan_timing.h"

#include <windows.h>

#include <stdexcept>

namespace foxbane::e2e {

std::chrono::duration<double, std::milli> TimeScan(const FoxbaneWindow& window,
                                                   std::chrono::milliseconds limit) {
  const HWND clean = window.Control(ControlId::clean);
  const HWND results = window.Control(ControlId::results);
  const ControlId scan = window.ClickableCaptioned(L"Scan");
  const auto start = std::chrono::steady_clock::now();
  window.Click(scan);
  // Sleeping a millisecond between looks leaves the processor to the pass
  // on a machine with few cores; a common wait's 20 ms would blur the time.
  while (!::IsWindowVisible(clean) && !::IsWindowVisible(results)) {
    if (std::chrono::steady_clock::now() - start > limit)
      throw std::runtime_error("the scan did not end in time");
    ::Sleep(1);
  }
  return std::chrono::steady_clock::now() - start;
}

}  // namespace foxbane::e2e
