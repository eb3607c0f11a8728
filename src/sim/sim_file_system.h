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
#include "sim/sim_open_files.h"
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
  ErrorCode CountListedFiles(std::string_view folder, std::uint32_t& count) override;
  ErrorCode CreateForWrite(std::string_view path, std::unique_ptr<WritableFile>& file) override;
  ErrorCode ReadAttributes(std::string_view path, std::uint32_t& attributes) override;
  ErrorCode FullPathName(std::string_view path, std::string& fullPath) override;
  ErrorCode CreateFolder(std::string_view path) override;

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
  // Turns the file or folder into a link to somewhere else (a symbolic
  // link, a junction). The sim never follows it: what it holds stays as it was.
  void MakeReparsePoint(std::string_view path);
  // Gives the file one more name elsewhere, as CreateHardLink does.
  void AddHardLink(std::string_view path);

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
  struct LessNoCaseOrder {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return LessNoCase(a, b); }
  };
  struct Node {
    std::string name;
    bool folder = false;
    std::uint32_t attributes = 0;  // without kDirectory and kNormal
    bool inUse = false;
    bool reparsePoint = false;
    int names = 1;  // hard links
    std::map<std::string, std::unique_ptr<Node>, LessNoCaseOrder> children;  // folders only
    std::shared_ptr<SimFileData> data;                                       // files only
  };
  // Where a path leads: the folder that would hold its last name, and the
  // node of that name when there is one. For a drive root, parent is null.
  struct Lookup {
    SimPath path;
    Node* parent = nullptr;
    Node* node = nullptr;
  };

  ErrorCode Resolve(std::string_view text, Lookup& found) const;
  ErrorCode NewOrExistingFile(std::string_view path, Node*& node);
  static std::uint32_t AttributesOf(const Node& node);
  Node* Existing(std::string_view path) const;
  Node& ExistingForSetup(std::string_view path) const;
  Node& FoldersForSetup(const SimPath& path, std::size_t depth);
  Node& FileForSetup(std::string_view path);

  Faults& faults_;
  std::map<char, std::unique_ptr<Node>> drives_;
};

}  // namespace foxbane::sim
