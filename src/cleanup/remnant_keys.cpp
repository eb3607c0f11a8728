#include "cleanup/remnant_keys.h"

namespace foxbane {

std::string LogKeyName(std::string_view hiveName, std::string_view keyPath, std::string_view leaf) {
  std::string name = hiveName == "HKCR" ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\";
  name.append(keyPath);
  if (!leaf.empty()) name.append("\\").append(leaf);
  return name;
}

}  // namespace foxbane
