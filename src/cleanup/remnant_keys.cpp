#include "cleanup/remnant_keys.h"

#include "common/utf.h"

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

std::string UninstallEntryName(std::string_view fileName) {
  std::u16string name = Utf16FromUtf8(fileName);
  std::size_t characters = 0;
  std::size_t cut = name.size();
  while (cut > 0 && characters < 4) {
    --cut;
    if (cut > 0 && name[cut] >= 0xDC00 && name[cut] <= 0xDFFF) --cut;  // surrogate pair
    ++characters;
  }
  if (characters < 4) return {};
  return Utf8FromUtf16(std::u16string_view(name).substr(0, cut));
}

}  // namespace foxbane
