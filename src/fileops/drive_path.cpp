#include "fileops/drive_path.h"

#include "common/vb_conversions.h"

namespace foxbane {

namespace {

constexpr std::string_view kLocalPrefix = "\\\\?\\";

bool IsDeviceName(std::string_view step) {
  const std::string base = ToUpperAscii(step.substr(0, step.find('.')));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

// A step that the plain form would take as written.
bool IsPlainStep(std::string_view step) {
  return !step.empty() && step != "." && step != ".." && step.find('/') == std::string_view::npos &&
         step.back() != '.' && step.back() != ' ' && !IsDeviceName(step);
}

}  // namespace

std::string PlainLocalPath(std::string_view path) {
  if (!path.starts_with(kLocalPrefix)) return std::string(path);
  const std::string_view plain = path.substr(kLocalPrefix.size());
  if (!IsDriveLetterPath(plain)) return std::string(path);
  for (std::string_view rest = plain.substr(3);;) {
    const std::size_t end = rest.find('\\');
    if (!IsPlainStep(rest.substr(0, end))) return std::string(path);
    if (end == std::string_view::npos) return std::string(plain);
    rest.remove_prefix(end + 1);
  }
}

}  // namespace foxbane
