#include "contract/world.h"
#include "sim/sim_platform.h"

namespace foxbane::contract {
namespace {

class SimWorld : public World {
 public:
  SimWorld() {
    sim_.files.MakeFolder(folder_);
    sim_.clock.Set(kNow);
    // Something to list besides the test's own processes.
    sim_.processes.AddProcess(4, "System", "System");
    sim_.processes.AddProcess(612, "C:\\Windows\\System32\\services.exe");
  }

  Adapters Subject() override {
    return {sim_.files, sim_.profiles, sim_.registry, sim_.processes, sim_.environment, sim_.clock};
  }
  const std::string& Folder() const override { return folder_; }
  const std::string& Key() const override { return key_; }

  void MakeFolder(const std::string& path) override { sim_.files.MakeFolder(path); }
  void WriteFile(const std::string& path, std::string_view bytes,
                 std::uint32_t attributes) override {
    sim_.files.WriteFile(path, std::string(bytes), attributes);
  }
  std::optional<std::string> Contents(const std::string& path) override {
    return sim_.files.Contents(path);
  }
  bool Exists(const std::string& path) override { return sim_.files.Attributes(path).has_value(); }
  std::shared_ptr<void> HoldOpen(const std::string& path) override {
    sim_.files.MarkInUse(path, true);
    return {nullptr, [this, path](void*) { sim_.files.MarkInUse(path, false); }};
  }
  void MakeHardLink(const std::string& existing, const std::string& link) override {
    sim_.files.AddHardLink(existing, link);
  }
  bool MakeFolderLink(const std::string& link, const std::string& target) override {
    sim_.files.MakeLink(link, target);
    return true;
  }
  void LetEveryoneChange(const std::string& path) override {
    sim_.files.SetSecurity(path, true, false);
  }

  StartedProcess StartWaitingProcess() override {
    const StartedProcess started{nextPid_ += 4, "C:\\Program Files\\Foxbane Test\\Waiter.exe"};
    sim_.files.WriteFile(started.modulePath, "MZ waiting");
    sim_.processes.AddProcess(started.pid, started.modulePath);
    return started;
  }
  bool IsRunning(std::uint32_t pid) override { return sim_.processes.IsRunning(pid); }
  std::optional<std::uint32_t> ExitCodeAfterEnd(std::uint32_t pid) override {
    return sim_.processes.ExitCode(pid);
  }
  std::string InvalidHandleText() override { return "The handle is invalid.\r\n"; }

  std::string ProgramPath() override { return "C:\\Program Files\\Foxbane\\foxbane.exe"; }
  bool SixtyFourBitSystem() override { return true; }
  void SetVariable(const std::string& name, const std::string& value) override {
    sim_.environment.SetVariable(name, value);
  }

  LocalDateTime ReferenceNow() override { return kNow; }
  std::string LocaleName() override { return "en-US"; }

 private:
  static constexpr LocalDateTime kNow{2004, 3, 27, 14, 5, 9};
  sim::SimPlatform sim_;
  std::string folder_ = "C:\\Users\\Tester\\AppData\\Local\\Temp\\FoxbaneTest";
  std::string key_ = "Software\\FoxbaneTest";
  std::uint32_t nextPid_ = 2000;
};

std::unique_ptr<World> MakeSimWorld() { return std::make_unique<SimWorld>(); }

}  // namespace

FOXBANE_CONTRACT_WORLD(Sim, MakeSimWorld);

}  // namespace foxbane::contract
