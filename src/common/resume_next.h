#pragma once

#include <exception>
#include <new>
#include <stdexcept>

#include "ports/error_code.h"

namespace foxbane {

// Thrown by a step that cannot go on; ResumeNext catches it and moves on.
class StepFailed : public std::runtime_error {
 public:
  explicit StepFailed(ErrorCode code)
      : std::runtime_error("step failed"), code_(code) {}
  ErrorCode code() const { return code_; }

 private:
  ErrorCode code_;
};

// Turns a failing system call into a skipped step.
inline void Check(ErrorCode code) {
  if (code != win_error::kSuccess) throw StepFailed(code);
}

// Skip-and-continue: each step runs on its own, and one that fails (a
// StepFailed or any other system condition an adapter reports as a
// runtime_error, or memory that cannot be had) is skipped so the next one
// runs. Nothing escapes to the user. Programming errors (logic_error) are
// not swallowed: they are bugs, not system conditions.
class ResumeNext {
 public:
  template <typename Step>
  void operator()(Step&& step) noexcept {
    try {
      step();
    } catch (const std::runtime_error&) {
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
  }
};

}  // namespace foxbane
