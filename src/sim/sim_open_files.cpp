#include "sim/sim_open_files.h"

#include <algorithm>

#include "sim/windows_1252.h"

namespace foxbane::sim {

SimReadableFile::SimReadableFile(Faults& faults, std::string path,
                                 std::shared_ptr<const SimFileData> data)
    : faults_(faults), path_(std::move(path)), data_(std::move(data)) {}

ErrorCode SimReadableFile::Size(std::uint64_t& bytes) {
  if (const ErrorCode e = faults_.Next("FileSystem.Size", path_)) return e;
  bytes = data_->Size();
  return win_error::kSuccess;
}

// Like ReadFile in a loop: what the file holds is copied, and asking for more
// than that ends with the end-of-file error.
ErrorCode SimReadableFile::ReadFromStart(std::span<char> into) {
  if (const ErrorCode e = faults_.Next("FileSystem.ReadFromStart", path_)) return e;
  const std::size_t zeros =
      static_cast<std::size_t>(std::min<std::uint64_t>(into.size(), data_->unstoredZeros));
  std::fill_n(into.begin(), zeros, '\0');
  const std::size_t stored = std::min(into.size() - zeros, data_->bytes.size());
  std::copy_n(data_->bytes.begin(), stored, into.begin() + zeros);
  return zeros + stored == into.size() ? win_error::kSuccess : win_error::kHandleEof;
}

SimAppendableFile::SimAppendableFile(Faults& faults, std::string path,
                                     std::shared_ptr<SimFileData> data)
    : faults_(faults), path_(std::move(path)), data_(std::move(data)) {
  ++data_->writeHandles;
}

SimAppendableFile::~SimAppendableFile() { --data_->writeHandles; }

ErrorCode SimAppendableFile::AppendText(std::string_view utf8) {
  if (const ErrorCode e = faults_.Next("FileSystem.AppendText", path_)) return e;
  data_->bytes += Windows1252FromUtf8(utf8);
  return win_error::kSuccess;
}

ErrorCode SimAppendableFile::Flush() { return faults_.Next("FileSystem.Flush", path_); }

SimWritableFile::SimWritableFile(Faults& faults, std::string path,
                                 std::shared_ptr<SimFileData> data)
    : faults_(faults), path_(std::move(path)), data_(std::move(data)) {
  ++data_->writeHandles;
}

SimWritableFile::~SimWritableFile() { --data_->writeHandles; }

ErrorCode SimWritableFile::Write(std::string_view bytes) {
  if (const ErrorCode e = faults_.Next("FileSystem.Write", path_)) return e;
  data_->bytes += bytes;
  return win_error::kSuccess;
}

ErrorCode SimWritableFile::Flush() { return faults_.Next("FileSystem.Flush", path_); }

}  // namespace foxbane::sim
