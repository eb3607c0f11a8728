#pragma once

#include <memory>
#include <optional>

#include "ports/file_system.h"
#include "sim/faults.h"
#include "sim/sim_file_node.h"
#include "sim/sim_open_files.h"

namespace foxbane::sim {

// A file or folder of the sim opened on itself. A deletion marked through it
// takes effect when it is closed, as with FileDispositionInfo.
class SimFileItem : public FileItem {
 public:
  SimFileItem(Faults& faults, std::uint32_t volume, std::shared_ptr<SimFileNode> node,
              ItemAccess access);
  ~SimFileItem() override;
  SimFileItem(const SimFileItem&) = delete;
  SimFileItem& operator=(const SimFileItem&) = delete;

  ErrorCode Describe(ItemFacts& facts) override;
  ErrorCode FinalPath(std::string& path) override;
  ErrorCode AdminOnly(bool& adminOnly) override;
  ErrorCode Read(std::span<char> into, std::size_t& bytesRead) override;
  ErrorCode Delete() override;

 private:
  Faults& faults_;
  std::uint32_t volume_;
  std::shared_ptr<SimFileNode> node_;
  ItemAccess access_;
  std::optional<SimReadableFile> reader_;  // files opened to be read
  bool deleting_ = false;
};

}  // namespace foxbane::sim
