#include "cleanup/removal_guards.h"

#include "common/vb_conversions.h"
#include "fileops/drive_path.h"

namespace foxbane {

namespace {

// The part of `path` below `folder`, compared without regard to case as
// Windows compares names; empty when `path` is not strictly below it.
std::string_view Below(std::string_view path, std::string_view folder) {
  if (path.size() <= folder.size() + 1 || path[folder.size()] != '\\') return {};
  if (ToUpperAscii(path.substr(0, folder.size())) != ToUpperAscii(folder)) return {};
  return path.substr(folder.size() + 1);
}

}  // namespace

std::string RemovalGuards::Canonical(std::string_view path) {
  std::string full;
  if (!IsDriveLetterPath(path) || files_.FullPathName(path, full) != win_error::kSuccess) {
    return {};
  }
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
}

bool RemovalGuards::ExistsAndIsNoLink(const std::string& path) {
  std::uint32_t attributes = 0;
  return files_.ReadAttributes(path, attributes) == win_error::kSuccess &&
         (attributes & file_attribute::kReparsePoint) == 0;
}

bool RemovalGuards::InDownloadedControls(std::string_view path, std::string& file,
                                         std::string& folder) {
  file = Canonical(path);
  folder = Canonical(environment_.WindowsFolder() + "\\Downloaded Program Files");
  if (file.empty() || folder.empty()) return false;
  const std::string_view name = Below(file, folder);
  return !name.empty() && name.find('\\') == std::string_view::npos;
}

bool RemovalGuards::NamesDownloadedControlFile(std::string_view path) {
  std::string file, folder;
  return InDownloadedControls(path, file, folder);
}

bool RemovalGuards::IsDownloadedControlFile(std::string_view path) {
  std::string file, folder;
  return InDownloadedControls(path, file, folder) && ExistsAndIsNoLink(folder) &&
         ExistsAndIsNoLink(file);
}

bool RemovalGuards::BelowProgramFolder(std::string_view folder, std::string& canonical,
                                       std::string& root) {
  canonical = Canonical(folder);
  if (canonical.empty()) return false;
  for (const std::string& programs : environment_.ProgramFilesFolders()) {
    root = Canonical(programs);
    if (!root.empty() && !Below(canonical, root).empty()) return true;
  }
  return false;
}

bool RemovalGuards::NamesProgramSubfolder(std::string_view folder) {
  std::string canonical, root;
  return BelowProgramFolder(folder, canonical, root);
}

bool RemovalGuards::IsProgramSubfolder(std::string_view folder) {
  std::string canonical, root;
  if (!BelowProgramFolder(folder, canonical, root)) return false;
  // Each folder from this one up to the program folder: a junction on the
  // way would lead somewhere else entirely.
  for (std::string step = canonical; step.size() > root.size(); step.resize(step.rfind('\\'))) {
    if (!ExistsAndIsNoLink(step)) return false;
  }
  return true;
}

}  // namespace foxbane
