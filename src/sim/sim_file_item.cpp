#include "sim/sim_file_item.h"

#include <vector>

namespace foxbane::sim {

using namespace file_attribute;

void SimFileNode::Detach() {
  if (parent == nullptr) return;
  SimFileNode* container = parent;
  parent = nullptr;
  container->children.erase(name);  // may end this node's life: nothing of it is used after
}

std::string SimFileNode::Path() const {
  std::vector<const SimFileNode*> chain;
  for (const SimFileNode* node = this; node != nullptr; node = node->parent) chain.push_back(node);
  std::string path = chain.back()->name;  // the drive, "C:"
  if (chain.size() == 1) return path + "\\";
  for (auto node = chain.rbegin() + 1; node != chain.rend(); ++node) path += "\\" + (*node)->name;
  return path;
}

SimFileItem::SimFileItem(Faults& faults, std::uint32_t volume, std::shared_ptr<SimFileNode> node,
                         ItemAccess access)
    : faults_(faults), volume_(volume), node_(std::move(node)), access_(access) {
  if (access_ != ItemAccess::kInspect && !node_->folder) {
    reader_.emplace(faults_, node_->Path(), node_->data, FileIdentity{volume_, node_->index});
  }
}

SimFileItem::~SimFileItem() {
  if (deleting_) node_->Detach();
}

ErrorCode SimFileItem::Describe(ItemFacts& facts) {
  if (const ErrorCode e = faults_.Next("FileSystem.Describe", node_->name)) return e;
  facts.attributes = node_->attributes | (node_->reparsePoint ? kReparsePoint : 0) |
                     (node_->folder ? kDirectory : 0);
  if (facts.attributes == 0) facts.attributes = kNormal;
  facts.identity = {volume_, node_->index};
  facts.names = static_cast<std::uint32_t>(node_->names);
  return win_error::kSuccess;
}

ErrorCode SimFileItem::FinalPath(std::string& path) {
  if (const ErrorCode e = faults_.Next("FileSystem.FinalPath", node_->name)) return e;
  path = node_->Path();
  return win_error::kSuccess;
}

ErrorCode SimFileItem::AdminOnly(bool& adminOnly) {
  if (const ErrorCode e = faults_.Next("FileSystem.AdminOnly", node_->name)) return e;
  adminOnly = node_->adminOwned && node_->adminOnly;
  return win_error::kSuccess;
}

ErrorCode SimFileItem::Read(std::span<char> into, std::size_t& bytesRead) {
  if (!reader_) return win_error::kAccessDenied;
  return reader_->Read(into, bytesRead);
}

ErrorCode SimFileItem::Delete() {
  if (const ErrorCode e = faults_.Next("FileSystem.Delete", node_->name)) return e;
  if (access_ != ItemAccess::kRemove) return win_error::kAccessDenied;
  if (node_->attributes & kReadOnly) return win_error::kAccessDenied;
  if (!node_->children.empty()) return win_error::kDirNotEmpty;
  deleting_ = true;
  return win_error::kSuccess;
}

}  // namespace foxbane::sim
