#pragma once

#include "ports/file_system.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {

// ReadFile until `into` is full or the file ends, as ReadableFile::Read.
ErrorCode ReadInto(HANDLE file, std::span<char> into, std::size_t& bytesRead);

// GetFileInformationByHandle: the volume's serial number and the file index.
ErrorCode IdentityOf(HANDLE file, FileIdentity& identity);

class Win32ReadableFile : public ReadableFile {
 public:
  explicit Win32ReadableFile(UniqueFileHandle file) : file_(std::move(file)) {}
  ErrorCode Identity(FileIdentity& identity) override { return IdentityOf(file_.Get(), identity); }
  ErrorCode Read(std::span<char> into, std::size_t& bytesRead) override {
    return ReadInto(file_.Get(), into, bytesRead);
  }
  ErrorCode Rewind() override;

 private:
  UniqueFileHandle file_;
};

class Win32AppendableFile : public AppendableFile {
 public:
  explicit Win32AppendableFile(UniqueFileHandle file) : file_(std::move(file)) {}
  ErrorCode AppendText(std::string_view utf8) override;
  ErrorCode Flush() override;

 private:
  UniqueFileHandle file_;
};

class Win32WritableFile : public WritableFile {
 public:
  explicit Win32WritableFile(UniqueFileHandle file) : file_(std::move(file)) {}
  ErrorCode Write(std::string_view bytes) override;
  ErrorCode Flush() override;

 private:
  UniqueFileHandle file_;
};

}  // namespace foxbane::win32
