#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "ports/error_code.h"

namespace foxbane {

// File attribute bits, as Windows defines them.
namespace file_attribute {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
inline constexpr std::uint32_t kReparsePoint = 0x400;  // a link, junction or mount point
// What the dir-style listing finds of any file: read-only, hidden, system, archive.
inline constexpr std::uint32_t kAnyFileMask = kReadOnly | kHidden | kSystem | kArchive;
}  // namespace file_attribute

// The file system's own failures beyond those of every port.
namespace win_error {
inline constexpr ErrorCode kFileExists = 80;
inline constexpr ErrorCode kWriteFault = 29;        // a write that moved no byte
inline constexpr ErrorCode kDiskFull = 112;
inline constexpr ErrorCode kTooManyLinks = 1142;    // a file with more than one name
inline constexpr ErrorCode kCantAccessFile = 1920;  // a reparse point where a file was wanted
}  // namespace win_error

// What tells one file or folder from every other while it exists: its
// volume's serial number and its index on that volume.
struct FileIdentity {
  std::uint32_t volume = 0;
  std::uint64_t index = 0;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What an opened file or folder says of itself.
struct ItemFacts {
  std::uint32_t attributes = 0;  // kDirectory, kReparsePoint and the rest
  FileIdentity identity;
  std::uint32_t names = 1;  // hard links
};

// How a file or folder is opened by OpenItem. Every way may read what the
// item says of itself, its owner and its DACL.
enum class ItemAccess {
  kInspect,  // nothing more; others may read and write it, not rename or delete it
  kRead,     // and its bytes; the same sharing
  kRemove,   // its bytes and its deletion; others may only read it meanwhile
};

// A file or folder opened once, on itself: a link at the end of its path is
// opened, never followed (links earlier on the path lead where they lead, and
// FinalPath says where that was). Every check and change made through it is
// on that one object. Closed when destroyed.
class FileItem {
 public:
  virtual ~FileItem() = default;
  virtual ErrorCode Describe(ItemFacts& facts) = 0;
  // GetFinalPathNameByHandle: where the object really is, as a drive path
  // ("C:\..."), in the case its names have on the disk.
  virtual ErrorCode FinalPath(std::string& path) = 0;
  // True when its owner is an administrator (the Administrators group,
  // SYSTEM or the system's installer) and its DACL lets nobody else change
  // it, its contents, its rights or its owner.
  virtual ErrorCode AdminOnly(bool& adminOnly) = 0;
  // The bytes of a file, from its start on, as ReadableFile::Read gives them
  // (not with kInspect).
  virtual ErrorCode Read(std::span<char> into, std::size_t& bytesRead) = 0;
  // Marks it for deletion (kRemove only): it goes when the last handle on it
  // is closed. 5 for a read-only file, 145 for a folder that is not empty.
  virtual ErrorCode Delete() = 0;
};

// A file opened for reading raw bytes, from its start on. Closed when
// destroyed.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // The identity of the file read (GetFileInformationByHandle).
  virtual ErrorCode Identity(FileIdentity& identity) = 0;
  // Reads the bytes that follow those read before into `into`, filling it
  // unless the file ends first: `bytesRead` is below into.size() only at the
  // end, and 0 once there. After a failure, what `into` holds is not to be
  // relied on.
  virtual ErrorCode Read(std::span<char> into, std::size_t& bytesRead) = 0;
  // Goes back to the first byte (SetFilePointerEx): the next Read starts
  // there, on the same open file.
  virtual ErrorCode Rewind() = 0;
};

// A text file opened for appending. Closed when destroyed.
class AppendableFile {
 public:
  virtual ~AppendableFile() = default;
  // Appends UTF-8 text converted to the system's ANSI code page; a character
  // that code page cannot hold is written as "?". A write that the system
  // reports as moving no byte fails (29).
  virtual ErrorCode AppendText(std::string_view utf8) = 0;
  // FlushFileBuffers: what was appended is on the disk when this returns.
  virtual ErrorCode Flush() = 0;
};

// A new file opened for writing raw bytes. Closed when destroyed.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes all of `bytes` after what was written before; 112 on a full disk.
  virtual ErrorCode Write(std::string_view bytes) = 0;
  virtual ErrorCode Flush() = 0;
};

// The file operations the scan, the scan log and the cleanup rely on. Paths
// are full Windows paths in UTF-8 with "\" separators; names compare without
// regard to letter case, as on Windows. No operation reports anything itself.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The file name part of `path` when a file (not a folder) exists there whose
  // attributes are all allowed: read-only and archive always, hidden only with
  // kHidden in `mask`, system only with kSystem. Empty when there is none.
  virtual std::string FindFile(std::string_view path, std::uint32_t mask) = 0;

  // Makes the file normal, so it can be appended to and deleted.
  virtual ErrorCode ResetAttributes(std::string_view path) = 0;

  // Opens for reading, sharing read, write and delete so that a running
  // executable can be read. Only a file on a local disk is read: a device
  // (a pipe, NUL) or a file on a network drive fails with 222.
  virtual ErrorCode OpenForRead(std::string_view path, std::unique_ptr<ReadableFile>& file) = 0;

  // Opens for appending, creating the file when it is missing, and makes it
  // normal through that same handle, so a read-only or hidden log can still
  // be appended to. Never follows a link: a reparse point fails with 1920,
  // a file with more than one name (a hard link) with 1142. Shares reading
  // and writing, so a second writer's lines go in after these.
  virtual ErrorCode OpenForAppend(std::string_view path, std::unique_ptr<AppendableFile>& file) = 0;

  // Creates a new file to write; fails with 80 when one is already there.
  virtual ErrorCode CreateForWrite(std::string_view path, std::unique_ptr<WritableFile>& file) = 0;

  // GetFileAttributes: the attributes of the file or folder itself (a link's
  // own, with kReparsePoint, not its target's).
  virtual ErrorCode ReadAttributes(std::string_view path, std::uint32_t& attributes) = 0;

  // GetFullPathName: the path made absolute and canonical ("." and ".."
  // resolved, trailing dots and spaces dropped), without touching the disk.
  virtual ErrorCode FullPathName(std::string_view path, std::string& fullPath) = 0;

  // Creates one folder; 183 when something of that name is there already.
  // It takes the rights its parent passes on.
  virtual ErrorCode CreateFolder(std::string_view path) = 0;

  // Creates one folder that only administrators and SYSTEM may change: owned
  // by the Administrators group, its DACL (full control for the two, passed
  // on to what is made inside) protected from its parent's. 183 as above.
  virtual ErrorCode CreateAdminOnlyFolder(std::string_view path) = 0;

  // Opens the file or folder itself (see FileItem): 2 or 3 when it is not
  // there, 32 when another program holds it open in a way the access asked
  // for does not share (kRemove: written to, or not sharing its deletion).
  virtual ErrorCode OpenItem(std::string_view path, ItemAccess access,
                             std::unique_ptr<FileItem>& item) = 0;

  // Deletes a file; fails with 5 on a read-only file and 32 on one in use.
  virtual ErrorCode RemoveFile(std::string_view path) = 0;

  // Removes a folder; fails with 145 unless it is empty.
  virtual ErrorCode RemoveFolder(std::string_view path) = 0;

  // MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT: the file or empty folder is
  // deleted when Windows next starts (an administrator's right).
  virtual ErrorCode RemoveAtRestart(std::string_view path) = 0;

  // Counts the folder's files that are normal, read-only or archive; hidden
  // and system files and subfolders are not counted.
  virtual ErrorCode CountListedFiles(std::string_view folder, std::uint32_t& count) = 0;
};

}  // namespace foxbane
