#include "contract/file_system_world.h"
#include "sim/faults.h"
#include "sim/sim_file_system.h"

namespace foxbane::contract {
namespace {

class SimFileHold : public FileHold {
 public:
  SimFileHold(sim::SimFileSystem& files, std::string path) : files_(files), path_(std::move(path)) {
    files_.MarkInUse(path_, true);
  }
  ~SimFileHold() override { files_.MarkInUse(path_, false); }

 private:
  sim::SimFileSystem& files_;
  std::string path_;
};

class SimFileSystemWorld : public FileSystemWorld {
 public:
  SimFileSystemWorld() { files_.MakeFolder(sandbox_); }

  FileSystem& Files() override { return files_; }
  const std::string& Sandbox() const override { return sandbox_; }
  void MakeFolder(const std::string& path) override { files_.MakeFolder(path); }
  void WriteFile(const std::string& path, std::string_view bytes,
                 std::uint32_t attributes) override {
    files_.WriteFile(path, std::string(bytes), attributes);
  }
  std::optional<std::string> Contents(const std::string& path) override {
    return files_.Contents(path);
  }
  bool Exists(const std::string& path) override { return files_.Attributes(path).has_value(); }
  std::unique_ptr<FileHold> HoldOpen(const std::string& path) override {
    return std::make_unique<SimFileHold>(files_, path);
  }
  void MakeHardLink(const std::string& existing, const std::string&) override {
    files_.AddHardLink(existing);
  }

 private:
  sim::Faults faults_;
  sim::SimFileSystem files_{faults_};
  std::string sandbox_ = "C:\\Users\\Tester\\AppData\\Local\\Temp\\FoxbaneTest";
};

std::unique_ptr<FileSystemWorld> MakeSimFileSystemWorld() {
  return std::make_unique<SimFileSystemWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sim, FileSystemContract, ::testing::Values(&MakeSimFileSystemWorld));

}  // namespace foxbane::contract
