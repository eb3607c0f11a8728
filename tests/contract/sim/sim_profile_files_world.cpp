#include "contract/profile_files_world.h"
#include "sim/faults.h"
#include "sim/sim_file_system.h"
#include "sim/sim_profile_files.h"

namespace foxbane::contract {
namespace {

class SimProfileFilesWorld : public ProfileFilesWorld {
 public:
  SimProfileFilesWorld() { files_.MakeFolder(sandbox_); }

  ProfileFiles& Subject() override { return profiles_; }
  const std::string& Sandbox() const override { return sandbox_; }
  void WriteFile(const std::string& path, std::string_view bytes) override {
    files_.WriteFile(path, std::string(bytes));
  }
  std::optional<std::string> Contents(const std::string& path) override {
    return files_.Contents(path);
  }

 private:
  sim::Faults faults_;
  sim::SimFileSystem files_{faults_};
  sim::SimProfileFiles profiles_{faults_, files_};
  std::string sandbox_ = "C:\\Users\\Tester\\AppData\\Local\\Temp\\FoxbaneTest";
};

std::unique_ptr<ProfileFilesWorld> MakeSimProfileFilesWorld() {
  return std::make_unique<SimProfileFilesWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sim, ProfileFilesContract, ::testing::Values(&MakeSimProfileFilesWorld));

}  // namespace foxbane::contract
