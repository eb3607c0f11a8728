#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/file_system.h"
#include "sim/faults.h"
#include "sim/sim_file_node.h"
#include "sim/sim_path.h"

namespace foxbane::sim {

// An in-memory tree of drives, folders and files that answers like Windows:
// the same error codes, names that compare without regard to case but keep
// the case they were made with, and the attribute rules of the port. Drive C
// exists from the start; other drives appear when something is made on them.
class SimFileSystem : public FileSystem {
 public:
  explicit SimFileSystem(Faults& faults);

  std::string FindFile(std::string_view path, std::uint32_t mask) override;
  ErrorCode ResetAttributes(std::string_view path) override;
  ErrorCode OpenForRead(std::string_view path, std::unique_ptr<ReadableFile>& file) override;
  ErrorCode OpenForAppend(std::string_view path, std::unique_ptr<AppendableFile>& file) override;
  ErrorCode RemoveFile(std::string_view path) override;
  ErrorCode RemoveFolder(std::string_view path) override;
  ErrorCode RemoveAtRestart(std::string_view path) override;
  ErrorCode CountListedFiles(std::string_view folder, std::uint32_t& count) override;
  ErrorCode CreateForWrite(std::string_view path, std::unique_ptr<WritableFile>& file) override;
  ErrorCode ReadAttributes(std::string_view path, std::uint32_t& attributes) override;
  ErrorCode FullPathName(std::string_view path, std::string& fullPath) override;
  ErrorCode CreateFolder(std::string_view path) override;
  ErrorCode CreateAdminOnlyFolder(std::string_view path) override;
  ErrorCode OpenItem(std::string_view path, ItemAccess access,
                     std::unique_ptr<FileItem>& item) override;

  // Setting up and inspecting the tree in tests. These never fail like the
  // port does: a path they cannot use is a mistake in the test and throws
  // std::invalid_argument.

  // Makes the folder and any missing parents.
  void MakeFolder(std::string_view path);
  // Makes or replaces a file, with any missing parent folders.
  void WriteFile(std::string_view path, std::string bytes, std::uint32_t attributes = 0);
  // A file that reports `size` bytes, all zero, without holding them.
  void WriteHugeFile(std::string_view path, std::uint64_t size);
  // Attributes of a file or folder, without kDirectory and kNormal.
  void SetAttributes(std::string_view path, std::uint32_t attributes);
  // Another program holds the file or folder open for writing, sharing read
  // and write but not delete: it can be read but not deleted or appended to.
  void MarkInUse(std::string_view path, bool inUse);
  // Turns the file or folder into a reparse point that the sim never
  // follows: what it holds stays as it was.
  void MakeReparsePoint(std::string_view path);
  // Puts a link to the folder `target` where `path` was (whatever was there
  // goes), as a junction or a symbolic link to a folder: a path through it
  // leads into `target`.
  void MakeLink(std::string_view path, std::string_view target);
  // Who owns the file or folder (the Administrators group, or someone
  // else), and whether its DACL lets only administrators change it.
  void SetSecurity(std::string_view path, bool adminOwned, bool adminOnly);
  // Gives the file one more name, `link`, as CreateHardLink does.
  void AddHardLink(std::string_view path, std::string_view link);

  // What RemoveAtRestart scheduled, in order.
  const std::vector<std::string>& RemovedAtRestart() const { return removedAtRestart_; }

  // The file's identity as the port gives it.
  FileIdentity IdentityOf(std::string_view path) const;

  // The bytes of a file; none for a folder or a missing path. Throws for a
  // file made by WriteHugeFile, whose bytes are not held.
  std::optional<std::string> Contents(std::string_view path) const;
  // As the port's ReadAttributes gives them; none for a missing path.
  std::optional<std::uint32_t> Attributes(std::string_view path) const;
  bool FolderExists(std::string_view path) const;
  // Every folder and file below the drive roots, as "folder:<path>" and
  // "file:<path>", so a test can tell what a run removed.
  std::vector<std::string> Inventory() const;

 private:
  using Node = SimFileNode;
  // Where a path leads: the folder that would hold its last name, and the
  // node of that name when there is one. For a drive root, parent is null.
  struct Lookup {
    SimPath path;
    Node* parent = nullptr;
    std::shared_ptr<Node> node;
  };

  // Links on the way are followed; one at the end only when asked.
  ErrorCode Resolve(std::string_view text, Lookup& found, bool followLast = false) const;
  ErrorCode Follow(const Node& link, int depth, std::shared_ptr<Node>& target) const;
  ErrorCode Walk(const SimPath& path, bool followLast, int depth, Lookup& found) const;
  ErrorCode NewOrExistingFile(std::string_view path, Node*& node);
  ErrorCode NewFolder(std::string_view operation, std::string_view path, bool adminOnly);
  std::shared_ptr<Node> NewNode(std::string name, bool folder, const Node* parent);
  static std::uint32_t AttributesOf(const Node& node);
  // A volume serial number for each drive.
  static std::uint32_t VolumeOf(const Node& node) {
    return 0x5EED0000u + static_cast<unsigned char>(node.Path()[0]);
  }
  std::shared_ptr<Node> Existing(std::string_view path) const;
  Node& ExistingForSetup(std::string_view path) const;
  Node& FoldersForSetup(const SimPath& path, std::size_t depth);
  Node& FileForSetup(std::string_view path);

  Faults& faults_;
  std::map<char, std::shared_ptr<Node>> drives_;
  std::uint64_t nextIndex_ = 0x10000;
  std::vector<std::string> removedAtRestart_;
};

}  // namespace foxbane::sim
