#include "sim/sim_file_system.h"

#include <stdexcept>

#include "sim/sim_file_item.h"

namespace foxbane::sim {

namespace {

using namespace file_attribute;

// What SetFileAttributes cannot change: sparse, reparse point, compressed,
// encrypted.
constexpr std::uint32_t kFixedAttributes = 0x200 | 0x400 | 0x800 | 0x4000;

SimPath ParseForSetup(std::string_view text) {
  SimPath path;
  if (ParseSimPath(text, path) != win_error::kSuccess) {
    throw std::invalid_argument("not a usable sim path: " + std::string(text));
  }
  return path;
}

}  // namespace

SimFileSystem::SimFileSystem(Faults& faults) : faults_(faults) { MakeFolder("C:\\"); }

std::shared_ptr<SimFileNode> SimFileSystem::NewNode(std::string name, bool folder,
                                                    const Node* parent) {
  auto node = std::make_shared<Node>();
  node->name = std::move(name);
  node->folder = folder;
  node->index = nextIndex_++;
  if (parent) node->adminOnly = parent->adminOnly;  // what the parent passes on
  if (!folder) node->data = std::make_shared<SimFileData>();
  return node;
}

// Intermediate names must be existing folders (3 otherwise, as Windows
// reports a broken path); the last name may be missing. A file named with a
// trailing "\" is an invalid name (123). A link on the way leads into its
// target; too many links in a row are a loop (1921).
ErrorCode SimFileSystem::Resolve(std::string_view text, Lookup& found, bool followLast) const {
  found = Lookup{};
  SimPath path;
  if (const ErrorCode e = ParseSimPath(text, path)) return e;
  return Walk(path, followLast, 0, found);
}

ErrorCode SimFileSystem::Walk(const SimPath& path, bool followLast, int depth, Lookup& found) const {
  found.path = path;
  const auto drive = drives_.find(path.drive);
  if (drive == drives_.end()) return win_error::kPathNotFound;
  std::shared_ptr<Node> folder = drive->second;
  if (path.names.empty()) {
    found.node = folder;
    return win_error::kSuccess;
  }
  for (std::size_t i = 0; i + 1 < path.names.size(); ++i) {
    const auto child = folder->children.find(path.names[i]);
    if (child == folder->children.end()) return win_error::kPathNotFound;
    std::shared_ptr<Node> next = child->second;
    if (const ErrorCode e = Follow(*next, depth, next)) return e;
    if (!next->folder) return win_error::kPathNotFound;
    folder = next;
  }
  found.parent = folder.get();
  const auto leaf = folder->children.find(path.names.back());
  if (leaf == folder->children.end()) return win_error::kSuccess;
  found.node = leaf->second;
  if (followLast) {
    if (const ErrorCode e = Follow(*leaf->second, depth, found.node)) return e;
  }
  if (!found.node->folder && path.trailingSeparator) return win_error::kInvalidName;
  return win_error::kSuccess;
}

// Where a node leads: itself, or the target of a link.
ErrorCode SimFileSystem::Follow(const Node& link, int depth, std::shared_ptr<Node>& target) const {
  if (link.linkTarget.empty()) return win_error::kSuccess;
  constexpr int kMostLinks = 31;
  constexpr ErrorCode kCantResolveFilename = 1921;
  if (depth >= kMostLinks) return kCantResolveFilename;
  SimPath path;
  if (const ErrorCode e = ParseSimPath(link.linkTarget, path)) return e;
  Lookup found;
  if (const ErrorCode e = Walk(path, true, depth + 1, found)) return e;
  if (!found.node) return win_error::kPathNotFound;
  target = found.node;
  return win_error::kSuccess;
}

// Dir-style existence test. A wildcard is a forbidden character here, so
// the test is for the one file the path names, never for whatever a pattern
// happens to match.
std::string SimFileSystem::FindFile(std::string_view path, std::uint32_t mask) {
  if (faults_.Next("FileSystem.FindFile", path)) return {};
  Lookup found;
  if (Resolve(path, found) != win_error::kSuccess) return {};
  const Node* node = found.node.get();
  if (!node || node->folder) return {};
  if ((node->attributes & (kHidden | kSystem) & ~mask) != 0) return {};
  return node->name;
}

ErrorCode SimFileSystem::ResetAttributes(std::string_view path) {
  if (const ErrorCode e = faults_.Next("FileSystem.ResetAttributes", path)) return e;
  Lookup found;
  if (const ErrorCode e = Resolve(path, found)) return e;
  if (!found.node) return win_error::kFileNotFound;
  found.node->attributes &= kFixedAttributes;
  return win_error::kSuccess;
}

ErrorCode SimFileSystem::OpenForRead(std::string_view path, std::unique_ptr<ReadableFile>& file) {
  if (const ErrorCode e = faults_.Next("FileSystem.OpenForRead", path)) return e;
  // The sim's devices ("\\.\NUL", "\\.\pipe\...") open, and are no disk files.
  if (path.starts_with("\\\\.\\")) return win_error::kBadFileType;
  Lookup found;
  if (const ErrorCode e = Resolve(path, found, true)) return e;
  if (!found.node) return win_error::kFileNotFound;
  if (found.node->folder) return win_error::kAccessDenied;
  file = std::make_unique<SimReadableFile>(faults_, std::string(path), found.node->data,
                                           FileIdentity{VolumeOf(*found.node), found.node->index});
  return win_error::kSuccess;
}

// Shares read and write, as other writers of the file do, but not delete.
// The attributes are cleared on the opened file itself, never on whatever
// a link would lead to.
ErrorCode SimFileSystem::OpenForAppend(std::string_view path,
                                       std::unique_ptr<AppendableFile>& file) {
  if (const ErrorCode e = faults_.Next("FileSystem.OpenForAppend", path)) return e;
  Node* node = nullptr;
  if (const ErrorCode e = NewOrExistingFile(path, node)) return e;
  if (node->reparsePoint) return win_error::kCantAccessFile;
  if (node->names > 1) return win_error::kTooManyLinks;
  node->attributes &= kFixedAttributes;
  file = std::make_unique<SimAppendableFile>(faults_, std::string(path), node->data);
  return win_error::kSuccess;
}

ErrorCode SimFileSystem::CreateForWrite(std::string_view path,
                                        std::unique_ptr<WritableFile>& file) {
  if (const ErrorCode e = faults_.Next("FileSystem.CreateForWrite", path)) return e;
  Lookup found;
  if (const ErrorCode e = Resolve(path, found)) return e;
  if (found.node) return win_error::kFileExists;  // a folder as much as a file
  Node* node = nullptr;
  if (const ErrorCode e = NewOrExistingFile(path, node)) return e;
  file = std::make_unique<SimWritableFile>(faults_, std::string(path), node->data);
  return win_error::kSuccess;
}

// The file at `path`, made (archive, as Windows marks every new file) when
// it is missing; a folder there is refused.
ErrorCode SimFileSystem::NewOrExistingFile(std::string_view path, Node*& node) {
  Lookup found;
  if (const ErrorCode e = Resolve(path, found)) return e;
  node = found.node.get();
  if (node && node->folder) return win_error::kAccessDenied;
  if (!found.parent || found.path.trailingSeparator) return win_error::kInvalidName;
  if (node) return win_error::kSuccess;
  std::shared_ptr<Node> created = NewNode(found.path.names.back(), false, found.parent);
  created->attributes = kArchive;
  created->parent = found.parent;
  node = created.get();
  found.parent->children.emplace(created->name, std::move(created));
  return win_error::kSuccess;
}

ErrorCode SimFileSystem::ReadAttributes(std::string_view path, std::uint32_t& attributes) {
  if (const ErrorCode e = faults_.Next("FileSystem.ReadAttributes", path)) return e;
  Lookup found;
  if (const ErrorCode e = Resolve(path, found)) return e;
  if (!found.node) return win_error::kFileNotFound;
  attributes = AttributesOf(*found.node);
  return win_error::kSuccess;
}

// As GetFileAttributes reports them: kDirectory on folders, kReparsePoint on
// links, kNormal for a file with no other attribute.
std::uint32_t SimFileSystem::AttributesOf(const Node& node) {
  const std::uint32_t attributes = node.attributes | (node.reparsePoint ? kReparsePoint : 0);
  if (node.folder) return attributes | kDirectory;
  return attributes == 0 ? kNormal : attributes;
}

// Text only, as Windows does it: the disk is not looked at. A path without a
// drive is taken from the current folder, the root of C.
ErrorCode SimFileSystem::FullPathName(std::string_view path, std::string& fullPath) {
  if (const ErrorCode e = faults_.Next("FileSystem.FullPathName", path)) return e;
  SimPath parsed;
  if (const ErrorCode e = ParseSimPath(path, parsed)) return e;
  std::string full = std::string(1, parsed.drive) + ":";
  for (const std::string& name : parsed.names) full += "\\" + name;
  if (parsed.names.empty() || parsed.trailingSeparator) full += "\\";
  fullPath = std::move(full);
  return win_error::kSuccess;
}

ErrorCode SimFileSystem::CreateFolder(std::string_view path) {
  return NewFolder("FileSystem.CreateFolder", path, false);
}

ErrorCode SimFileSystem::CreateAdminOnlyFolder(std::string_view path) {
  return NewFolder("FileSystem.CreateAdminOnlyFolder", path, true);
}

// Made by the program, which runs as an administrator: owned by the
// Administrators group.
ErrorCode SimFileSystem::NewFolder(std::string_view operation, std::string_view path,
                                   bool adminOnly) {
  if (const ErrorCode e = faults_.Next(operation, path)) return e;
  Lookup found;
  if (const ErrorCode e = Resolve(path, found)) return e;
  if (found.node) return win_error::kAlreadyExists;
  if (!found.parent) return win_error::kInvalidName;
  std::shared_ptr<Node> created = NewNode(found.path.names.back(), true, found.parent);
  created->adminOnly = created->adminOnly || adminOnly;
  created->parent = found.parent;
  found.parent->children.emplace(created->name, std::move(created));
  return win_error::kSuccess;
}

// Written to or held without sharing its deletion, a file can be opened to
// be read but not to be removed.
ErrorCode SimFileSystem::OpenItem(std::string_view path, ItemAccess access,
                                  std::unique_ptr<FileItem>& item) {
  if (const ErrorCode e = faults_.Next("FileSystem.OpenItem", path)) return e;
  Lookup found;
  if (const ErrorCode e = Resolve(path, found)) return e;
  if (!found.node) return win_error::kFileNotFound;
  const Node& node = *found.node;
  const bool written = node.data && node.data->writeHandles > 0;
  if (access == ItemAccess::kRemove && (node.inUse || written)) return win_error::kSharingViolation;
  item = std::make_unique<SimFileItem>(faults_, VolumeOf(*found.node), found.node, access);
  return win_error::kSuccess;
}

ErrorCode SimFileSystem::RemoveFile(std::string_view path) {
  if (const ErrorCode e = faults_.Next("FileSystem.RemoveFile", path)) return e;
  Lookup found;
  if (const ErrorCode e = Resolve(path, found)) return e;
  Node* node = found.node.get();
  if (!node) return win_error::kFileNotFound;
  if (node->folder) return win_error::kAccessDenied;
  if (node->attributes & kReadOnly) return win_error::kAccessDenied;
  if (node->inUse || node->data->writeHandles > 0) return win_error::kSharingViolation;
  node->Detach();
  return win_error::kSuccess;
}

ErrorCode SimFileSystem::RemoveFolder(std::string_view path) {
  if (const ErrorCode e = faults_.Next("FileSystem.RemoveFolder", path)) return e;
  Lookup found;
  if (const ErrorCode e = Resolve(path, found)) return e;
  Node* node = found.node.get();
  if (!node) return win_error::kFileNotFound;
  if (!node->folder) return win_error::kDirectory;
  if (!found.parent || (node->attributes & kReadOnly)) return win_error::kAccessDenied;
  if (node->inUse) return win_error::kSharingViolation;
  if (!node->children.empty()) return win_error::kDirNotEmpty;
  node->Detach();
  return win_error::kSuccess;
}

// Only noted: the sim never restarts.
ErrorCode SimFileSystem::RemoveAtRestart(std::string_view path) {
  if (const ErrorCode e = faults_.Next("FileSystem.RemoveAtRestart", path)) return e;
  removedAtRestart_.emplace_back(path);
  return win_error::kSuccess;
}

// What the window's file list box shows: files that are neither hidden nor
// system. A missing folder is a broken path (3), a file is no folder (267).
ErrorCode SimFileSystem::CountListedFiles(std::string_view folder, std::uint32_t& count) {
  if (const ErrorCode e = faults_.Next("FileSystem.CountListedFiles", folder)) return e;
  Lookup found;
  if (const ErrorCode e = Resolve(folder, found, true)) return e;
  if (!found.node) return win_error::kPathNotFound;
  if (!found.node->folder) return win_error::kDirectory;
  std::uint32_t listed = 0;
  for (const auto& [name, child] : found.node->children) {
    if (!child->folder && (child->attributes & (kHidden | kSystem)) == 0) ++listed;
  }
  count = listed;
  return win_error::kSuccess;
}

SimFileSystem::Node& SimFileSystem::FoldersForSetup(const SimPath& path, std::size_t depth) {
  std::shared_ptr<Node>& drive = drives_[path.drive];
  if (!drive) drive = NewNode(std::string(1, path.drive) + ":", true, nullptr);
  Node* folder = drive.get();
  for (std::size_t i = 0; i < depth; ++i) {
    std::shared_ptr<Node>& child = folder->children[path.names[i]];
    if (!child) {
      child = NewNode(path.names[i], true, nullptr);
      child->parent = folder;
    } else if (!child->folder) {
      throw std::invalid_argument("a file is in the way of folder " + path.names[i]);
    }
    folder = child.get();
  }
  return *folder;
}

SimFileSystem::Node& SimFileSystem::FileForSetup(std::string_view path) {
  const SimPath parsed = ParseForSetup(path);
  if (parsed.names.empty() || parsed.trailingSeparator) {
    throw std::invalid_argument("not a file path: " + std::string(path));
  }
  Node& folder = FoldersForSetup(parsed, parsed.names.size() - 1);
  std::shared_ptr<Node>& file = folder.children[parsed.names.back()];
  if (!file) {
    file = NewNode(parsed.names.back(), false, nullptr);
    file->parent = &folder;
  } else if (file->folder) {
    throw std::invalid_argument("a folder is in the way of file " + std::string(path));
  }
  return *file;
}

void SimFileSystem::MakeFolder(std::string_view path) {
  const SimPath parsed = ParseForSetup(path);
  FoldersForSetup(parsed, parsed.names.size());
}

void SimFileSystem::WriteFile(std::string_view path, std::string bytes, std::uint32_t attributes) {
  Node& file = FileForSetup(path);
  *file.data = SimFileData{0, std::move(bytes), file.data->writeHandles};
  file.attributes = attributes & ~(kDirectory | kNormal);
}

void SimFileSystem::WriteHugeFile(std::string_view path, std::uint64_t size) {
  Node& file = FileForSetup(path);
  *file.data = SimFileData{size, {}, file.data->writeHandles};
}

std::shared_ptr<SimFileNode> SimFileSystem::Existing(std::string_view path) const {
  Lookup found;
  if (Resolve(path, found) != win_error::kSuccess) return nullptr;
  return found.node;
}

SimFileSystem::Node& SimFileSystem::ExistingForSetup(std::string_view path) const {
  const std::shared_ptr<Node> node = Existing(path);
  if (!node) throw std::invalid_argument("no such sim path: " + std::string(path));
  return *node;
}

void SimFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  ExistingForSetup(path).attributes = attributes & ~(kDirectory | kNormal);
}

void SimFileSystem::MarkInUse(std::string_view path, bool inUse) {
  ExistingForSetup(path).inUse = inUse;
}

void SimFileSystem::MakeReparsePoint(std::string_view path) {
  ExistingForSetup(path).reparsePoint = true;
}

void SimFileSystem::MakeLink(std::string_view path, std::string_view target) {
  const SimPath parsed = ParseForSetup(path);
  if (parsed.names.empty()) throw std::invalid_argument("a drive cannot be a link");
  Node& folder = FoldersForSetup(parsed, parsed.names.size() - 1);
  std::shared_ptr<Node>& link = folder.children[parsed.names.back()];
  if (link) link->parent = nullptr;
  link = NewNode(parsed.names.back(), true, nullptr);
  link->parent = &folder;
  link->reparsePoint = true;
  link->linkTarget = target;
}

void SimFileSystem::SetSecurity(std::string_view path, bool adminOwned, bool adminOnly) {
  Node& node = ExistingForSetup(path);
  node.adminOwned = adminOwned;
  node.adminOnly = adminOnly;
}

FileIdentity SimFileSystem::IdentityOf(std::string_view path) const {
  Lookup found;
  if (Resolve(path, found) != win_error::kSuccess || !found.node) {
    throw std::invalid_argument("no such sim path: " + std::string(path));
  }
  return {VolumeOf(*found.node), found.node->index};
}

void SimFileSystem::AddHardLink(std::string_view path, std::string_view link) {
  const std::shared_ptr<Node> node = Existing(path);
  if (!node || node->folder) throw std::invalid_argument("no file to link: " + std::string(path));
  const SimPath parsed = ParseForSetup(link);
  FoldersForSetup(parsed, parsed.names.size() - 1).children[parsed.names.back()] = node;
  ++node->names;
}

std::optional<std::string> SimFileSystem::Contents(std::string_view path) const {
  const std::shared_ptr<Node> node = Existing(path);
  if (!node || node->folder) return std::nullopt;
  if (node->data->unstoredZeros > 0) {
    throw std::logic_error("the bytes of a huge sim file are not held: " + std::string(path));
  }
  return node->data->bytes;
}

std::optional<std::uint32_t> SimFileSystem::Attributes(std::string_view path) const {
  const std::shared_ptr<Node> node = Existing(path);
  if (!node) return std::nullopt;
  return AttributesOf(*node);
}

bool SimFileSystem::FolderExists(std::string_view path) const {
  const std::shared_ptr<Node> node = Existing(path);
  return node && node->folder;
}

std::vector<std::string> SimFileSystem::Inventory() const {
  std::vector<std::string> items;
  const auto walk = [&items](const auto& self, const Node& folder, const std::string& path) -> void {
    for (const auto& [name, child] : folder.children) {
      const std::string childPath = path + "\\" + child->name;
      items.push_back((child->folder ? "folder:" : "file:") + childPath);
      if (child->folder) self(self, *child, childPath);
    }
  };
  for (const auto& [letter, root] : drives_) walk(walk, *root, std::string(1, letter) + ":");
  return items;
}

}  // namespace foxbane::sim
