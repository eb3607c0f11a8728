#include "registry/registry_checks.h"

#include "registry/registry_data.h"
#include "registry/scoped_reg_key.h"

namespace foxbane {

namespace {

bool NotFound(ErrorCode code) {
  return code == win_error::kFileNotFound || code == win_error::kPathNotFound;
}

}  // namespace

bool KeyGone(Registry& registry, RegKey root, std::string_view keyPath, RegView view) {
  ScopedRegKey key(registry);
  return NotFound(key.Open(root, keyPath, reg_access::kQueryValue | view));
}

bool ValueGone(Registry& registry, RegKey root, std::string_view keyPath, std::string_view name,
               RegView view) {
  ScopedRegKey key(registry);
  const ErrorCode opened = key.Open(root, keyPath, reg_access::kQueryValue | view);
  if (opened != win_error::kSuccess) return NotFound(opened);
  std::uint32_t size = 0;
  return NotFound(registry.QueryValue(key.get(), name, nullptr, nullptr, &size));
}

bool HoldsDword(Registry& registry, RegKey root, std::string_view keyPath, std::string_view name,
                std::uint32_t number, RegView view) {
  ScopedRegKey key(registry);
  if (key.Open(root, keyPath, reg_access::kQueryValue | view) != win_error::kSuccess) return false;
  std::uint32_t type = 0;
  std::string bytes(4, '\0');
  std::uint32_t size = 4;
  return registry.QueryValue(key.get(), name, &type, bytes.data(), &size) == win_error::kSuccess &&
         type == reg_type::kDword && size == 4 && FromLittleEndian(bytes) == number;
}

}  // namespace foxbane
