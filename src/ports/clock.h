#pragma once

#include <string>

namespace foxbane {

struct LocalDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The local clock and the user's locale separators.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() = 0;
  virtual std::string TimeSeparator() = 0;
  virtual std::string DateSeparator() = 0;
};

}  // namespace foxbane
