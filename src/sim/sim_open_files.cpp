#include "sim/sim_open_files.h"

#include <algorithm>

#include "sim/windows_1252.h"

namespace foxbane::sim {

SimReadableFile::SimReadableFile(Faults& faults, std::string path,
                                 std::shared_ptr<const SimFileData> data, FileIdentity identity)
    : faults_(faults), path_(std::move(path)), data_(std::move(data)), identity_(identity) {}

ErrorCode SimReadableFile::Identity(FileIdentity& identity) {
  if (const ErrorCode e = faults_.Next("FileSystem.Identity", path_)) return e;
  identity = identity_;
  return win_error::kSuccess;
}

// Like ReadFile on a synchronous handle. The leading zeros that a huge file
// does not hold read like any other bytes.
ErrorCode SimReadableFile::Read(std::span<char> into, std::size_t& bytesRead) {
  bytesRead = 0;
  if (const ErrorCode e = faults_.Next("FileSystem.Read", path_)) return e;
  const std::uint64_t size = data_->Size();
  const std::uint64_t zeros = data_->unstoredZeros;
  const auto count = static_cast<std::size_t>(
      std::min<std::uint64_t>(into.size(), size - std::min(position_, size)));
  const auto zerosRead = static_cast<std::size_t>(
      std::min<std::uint64_t>(count, zeros - std::min(position_, zeros)));
  std::fill_n(into.data(), zerosRead, '\0');
  if (count > zerosRead) {  // past the zeros, so position_ + zerosRead >= zeros
    const auto from = static_cast<std::size_t>(position_ + zerosRead - zeros);
    std::copy_n(data_->bytes.data() + from, count - zerosRead, into.data() + zerosRead);
  }
  position_ += count;
  bytesRead = count;
  return win_error::kSuccess;
}

ErrorCode SimReadableFile::Rewind() {
  if (const ErrorCode e = faults_.Next("FileSystem.Rewind", path_)) return e;
  position_ = 0;
  return win_error::kSuccess;
}

SimWriter::SimWriter(Faults& faults, std::string path, std::shared_ptr<SimFileData> data)
    : faults_(faults), path_(std::move(path)), data_(std::move(data)) {
  ++data_->writeHandles;
}

SimWriter::~SimWriter() { --data_->writeHandles; }

ErrorCode SimWriter::Append(std::string_view operation, std::string_view bytes) {
  if (const ErrorCode e = faults_.Next(operation, path_)) return e;
  data_->bytes += bytes;
  return win_error::kSuccess;
}

ErrorCode SimAppendableFile::AppendText(std::string_view utf8) {
  return writer_.Append("FileSystem.AppendText", Windows1252FromUtf8(utf8));
}

}  // namespace foxbane::sim
