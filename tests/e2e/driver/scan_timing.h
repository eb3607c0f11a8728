#pragma once

#include <chrono>

#include "driver/foxbane_window.h"

namespace foxbane::e2e {

// Clicks "Scan" and waits until the pass has ended on the nothing-found or
// the results panel: the time from the click to that panel, to within about
// a millisecond. Throws when neither shows within `limit`.
std::chrono::duration<double, std::milli> TimeScan(const FoxbaneWindow& window,
                                                   std::chrono::milliseconds limit);

}  // namespace foxbane::e2e
