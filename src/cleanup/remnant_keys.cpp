#include "cleanup/remnant_keys.h"

namespace foxbane {

std::string KeyBelow(std::string_view keyPath, std::string_view subKey) {
  std::string path(keyPath);
  if (subKey.empty()) return path;
  if (!path.empty() && !path.ends_with('\\')) path += '\\';
  return path.append(subKey);
}

std::string LogKeyName(std::string_view hiveName, std::string_view keyPath, std::string_view leaf) {
  const std::string_view root = hiveName == "HKCR" ? "HKEY_CLASSES_ROOT" : "HKEY_LOCAL_MACHINE";
  return KeyBelow(root, KeyBelow(keyPath, leaf));
}

}  // namespace foxbane
