// The scan's reading of real files through the Windows file adapter, each
// chunk searched on a thread of its own: at full speed, and with every read
// held up long enough that the searching thread falls asleep between chunks
// and is woken through the system's own waits.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "scan/file_text_search.h"
#include "scan/signatures.h"
#include "win32/file_system.h"
#include "win32/text.h"

namespace foxbane::win32::testing {
namespace {

constexpr std::size_t kChunk = std::size_t{64} << 10;
constexpr ErrorCode kSuccess = 0;

// Held up past the searching thread's spinning before each read.
class SlowFile : public ReadableFile {
 public:
  explicit SlowFile(std::unique_ptr<ReadableFile> file) : file_(std::move(file)) {}
  ErrorCode Identity(FileIdentity& identity) override { return file_->Identity(identity); }
  ErrorCode Read(std::span<char> into, std::size_t& bytesRead) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return file_->Read(into, bytesRead);
  }
  ErrorCode Rewind() override { return file_->Rewind(); }

 private:
  std::unique_ptr<ReadableFile> file_;
};

class FileTextSearchOnTheSystem : public ::testing::Test {
 protected:
  // Three chunks and a bit: rule 4's key cut by the second chunk border, its
  // other text in the last chunk; the clean file as long, without them.
  FileTextSearchOnTheSystem() {
    std::string bytes(3 * kChunk + 200, 'x');
    bytes.replace(2 * kChunk - 3, 6, "mf3_lp");
    bytes.replace(3 * kChunk + 100, 5, "aelyB");
    Write(infected_, bytes);
    Write(clean_, std::string(bytes.size(), 'x'));
  }
  ~FileTextSearchOnTheSystem() override {
    std::filesystem::remove(infected_);
    std::filesystem::remove(clean_);
  }

  // The first rule the texts found in `path` hold.
  int RuleFound(FileTextSearch& search, const std::filesystem::path& path, bool slow) {
    std::unique_ptr<ReadableFile> file;
    EXPECT_EQ(files_.OpenForRead(Narrow(path.wstring()), file), kSuccess);
    if (!file) return -1;
    if (slow) file = std::make_unique<SlowFile>(std::move(file));
    signatures::TextSet found = 0;
    EXPECT_EQ(search.Find(*file, found), kSuccess);
    return FirstMatchingRule(found);
  }

  const std::filesystem::path infected_ = Folder() / L"foxbane-search-infected.exe";
  const std::filesystem::path clean_ = Folder() / L"foxbane-search-clean.exe";

 private:
  static std::filesystem::path Folder() { return std::filesystem::temp_directory_path(); }
  static void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  Win32FileSystem files_;
};

TEST_F(FileTextSearchOnTheSystem, FindsTheSameAtFullSpeedAndWithTheThreadAsleepBetweenChunks) {
  FileTextSearch search(kChunk, 2);
  for (const bool slow : {false, true, false, true}) {
    SCOPED_TRACE(slow ? "slow reads" : "full speed");
    EXPECT_EQ(RuleFound(search, infected_, slow), 4);
    EXPECT_EQ(RuleFound(search, clean_, slow), 0);
  }
}

}  // namespace
}  // namespace foxbane::win32::testing
