#pragma once

#include "ports/clock.h"

namespace foxbane::sim {

// A clock that stands still until the test moves it, with the separators of
// the locale the test chooses (an English (United States) one by default).
class SimClock : public Clock {
 public:
  LocalDateTime Now() override { return now_; }
  std::string TimeSeparator() override { return timeSeparator_; }
  std::string DateSeparator() override { return dateSeparator_; }

  void Set(LocalDateTime now) { now_ = now; }
  void SetSeparators(std::string time, std::string date) {
    timeSeparator_ = std::move(time);
    dateSeparator_ = std::move(date);
  }

 private:
  LocalDateTime now_{2004, 3, 27, 14, 5, 9};
  std::string timeSeparator_ = ":";
  std::string dateSeparator_ = "/";
};

}  // namespace foxbane::sim
