#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ports/file_system.h"
#include "sim/faults.h"

namespace foxbane::sim {

// The bytes of one sim file. Shared with the handles open on it, so a file
// deleted while open for reading stays readable, as with FILE_SHARE_DELETE.
struct SimFileData {
  std::uint64_t unstoredZeros = 0;  // leading zero bytes not held in memory
  std::string bytes;                // what follows them
  int writeHandles = 0;             // open files written to, which refuse delete sharing

  std::uint64_t Size() const { return unstoredZeros + bytes.size(); }
};

class SimReadableFile : public ReadableFile {
 public:
  SimReadableFile(Faults& faults, std::string path, std::shared_ptr<const SimFileData> data,
                  FileIdentity identity);

  ErrorCode Identity(FileIdentity& identity) override;
  ErrorCode Read(std::span<char> into, std::size_t& bytesRead) override;
  ErrorCode Rewind() override;

 private:
  Faults& faults_;
  std::string path_;
  std::shared_ptr<const SimFileData> data_;
  FileIdentity identity_;
  std::uint64_t position_ = 0;  // where the next read starts
};

// One handle that writes to a file: while it is open, the file cannot be
// deleted. What the appending and the new-file handles share.
class SimWriter {
 public:
  SimWriter(Faults& faults, std::string path, std::shared_ptr<SimFileData> data);
  ~SimWriter();
  SimWriter(const SimWriter&) = delete;
  SimWriter& operator=(const SimWriter&) = delete;

  // Adds `bytes` at the end, unless `operation` is made to fail.
  ErrorCode Append(std::string_view operation, std::string_view bytes);
  ErrorCode Flush() { return faults_.Next("FileSystem.Flush", path_); }

 private:
  Faults& faults_;
  std::string path_;
  std::shared_ptr<SimFileData> data_;
};

class SimAppendableFile : public AppendableFile {
 public:
  SimAppendableFile(Faults& faults, std::string path, std::shared_ptr<SimFileData> data)
      : writer_(faults, std::move(path), std::move(data)) {}

  ErrorCode AppendText(std::string_view utf8) override;
  ErrorCode Flush() override { return writer_.Flush(); }

 private:
  SimWriter writer_;
};

class SimWritableFile : public WritableFile {
 public:
  SimWritableFile(Faults& faults, std::string path, std::shared_ptr<SimFileData> data)
      : writer_(faults, std::move(path), std::move(data)) {}

  ErrorCode Write(std::string_view bytes) override {
    return writer_.Append("FileSystem.Write", bytes);
  }
  ErrorCode Flush() override { return writer_.Flush(); }

 private:
  SimWriter writer_;
};

}  // namespace foxbane::sim
