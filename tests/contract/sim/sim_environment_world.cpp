#include "contract/environment_world.h"
#include "sim/sim_environment.h"

namespace foxbane::contract {
namespace {

class SimEnvironmentWorld : public EnvironmentWorld {
 public:
  SimEnvironmentWorld() { environment_.SetApplicationFolder("C:\\Program Files\\Foxbane"); }

  Environment& Subject() override { return environment_; }
  std::string ProgramPath() override { return "C:\\Program Files\\Foxbane\\foxbane.exe"; }
  bool SixtyFourBitSystem() override { return true; }
  void SetVariable(const std::string& name, const std::string& value) override {
    environment_.SetVariable(name, value);
  }

 private:
  sim::SimEnvironment environment_;
};

std::unique_ptr<EnvironmentWorld> MakeSimEnvironmentWorld() {
  return std::make_unique<SimEnvironmentWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sim, EnvironmentContract, ::testing::Values(&MakeSimEnvironmentWorld));

}  // namespace foxbane::contract
