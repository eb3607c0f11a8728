#include "contract/registry_world.h"
#include "sim/faults.h"
#include "sim/sim_registry.h"

namespace foxbane::contract {
namespace {

class SimRegistryWorld : public RegistryWorld {
 public:
  SimRegistryWorld() { registry_.CreateKeyPath(reg_root::kCurrentUser, sandbox_); }
  Registry& Subject() override { return registry_; }
  const std::string& Sandbox() const override { return sandbox_; }

 private:
  sim::Faults faults_;
  sim::SimRegistry registry_{faults_};
  std::string sandbox_ = "Software\\FoxbaneTest";
};

std::unique_ptr<RegistryWorld> MakeSimRegistryWorld() {
  return std::make_unique<SimRegistryWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sim, RegistryContract, ::testing::Values(&MakeSimRegistryWorld));

}  // namespace foxbane::contract
