#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "sim/faults.h"
#include "sim/sim_open_files.h"

namespace foxbane::sim {

// One file, folder or link of the sim's tree. Shared with the items opened
// on it, which outlive its removal from the tree.
struct SimFileNode {
  struct LessNoCaseOrder {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return LessNoCase(a, b); }
  };

  std::string name;
  bool folder = false;
  std::uint32_t attributes = 0;  // without kDirectory and kNormal
  bool inUse = false;
  bool reparsePoint = false;
  std::string linkTarget;  // where a link leads; empty for one that is never followed
  bool adminOwned = true;  // owned by the Administrators group
  bool adminOnly = false;  // a DACL that lets nobody else change it
  int names = 1;           // hard links
  std::uint64_t index = 0;
  SimFileNode* parent = nullptr;  // none for a drive root, and once removed
  std::map<std::string, std::shared_ptr<SimFileNode>, LessNoCaseOrder> children;  // folders only
  std::shared_ptr<SimFileData> data;                                              // files only

  // Takes the node out of its parent's folder, if it is still in one.
  void Detach();
  // Its path from the drive root, as GetFinalPathNameByHandle gives it.
  std::string Path() const;
};

}  // namespace foxbane::sim
