#pragma once

#include <optional>
#include <string>

namespace foxbane::contract {

// A fresh folder under the user's temp folder, removed with everything in it
// (whatever its attributes) when the sandbox goes.
class TempSandbox {
 public:
  explicit TempSandbox(const std::string& prefix);
  ~TempSandbox();
  TempSandbox(const TempSandbox&) = delete;
  TempSandbox& operator=(const TempSandbox&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The whole file as bytes, read sharing everything; none when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace foxbane::contract
