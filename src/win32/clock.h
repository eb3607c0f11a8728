#pragma once

#include "ports/clock.h"

namespace foxbane::win32 {

class Win32Clock : public Clock {
 public:
  LocalDateTime Now() override;
  std::string TimeSeparator() override;
  std::string DateSeparator() override;
};

}  // namespace foxbane::win32
