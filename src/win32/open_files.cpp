#include "win32/open_files.h"

#include <algorithm>
#include <string>

#include "win32/text.h"

namespace foxbane::win32 {

namespace {

// ReadFile and WriteFile take a 32-bit count; larger spans go in pieces.
constexpr std::size_t kLargestTransfer = 1u << 30;

ErrorCode LastError() { return ::GetLastError(); }

// WriteFile in pieces until everything is written. A write that moves no
// byte without an error would repeat for ever: it is a failure.
ErrorCode WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto count = static_cast<DWORD>(std::min(bytes.size(), kLargestTransfer));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), count, &written, nullptr)) return LastError();
    if (written == 0) return win_error::kWriteFault;
    bytes.remove_prefix(written);
  }
  return win_error::kSuccess;
}

ErrorCode FlushToDisk(HANDLE file) {
  return ::FlushFileBuffers(file) ? win_error::kSuccess : LastError();
}

}  // namespace

// Straight into the caller's buffer, in as few ReadFile calls as the 32-bit
// count allows; a call that gives less than asked is followed by another, so
// that only the end of the file makes a read come up short.
ErrorCode ReadInto(HANDLE file, std::span<char> into, std::size_t& bytesRead) {
  bytesRead = 0;
  while (bytesRead < into.size()) {
    const auto wanted = static_cast<DWORD>(std::min(into.size() - bytesRead, kLargestTransfer));
    DWORD got = 0;
    if (!::ReadFile(file, into.data() + bytesRead, wanted, &got, nullptr)) return LastError();
    if (got == 0) break;
    bytesRead += got;
  }
  return win_error::kSuccess;
}

ErrorCode Win32ReadableFile::Rewind() {
  return ::SetFilePointerEx(file_.Get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) ? win_error::kSuccess
                                                                               : LastError();
}

ErrorCode IdentityOf(HANDLE file, FileIdentity& identity) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(file, &information)) return LastError();
  identity.volume = information.dwVolumeSerialNumber;
  identity.index = std::uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow;
  return win_error::kSuccess;
}

ErrorCode Win32AppendableFile::AppendText(std::string_view utf8) {
  std::string ansi;
  if (const ErrorCode e = AnsiFromWide(Wide(utf8), ansi)) return e;
  return WriteAll(file_.Get(), ansi);
}

ErrorCode Win32AppendableFile::Flush() { return FlushToDisk(file_.Get()); }

ErrorCode Win32WritableFile::Write(std::string_view bytes) { return WriteAll(file_.Get(), bytes); }

ErrorCode Win32WritableFile::Flush() { return FlushToDisk(file_.Get()); }

}  // namespace foxbane::win32
