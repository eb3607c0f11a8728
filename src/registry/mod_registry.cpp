#include "registry/mod_registry.h"

#include <optional>
#include <utility>

#include "common/resume_next.h"
#include "common/utf.h"
#include "common/vb_conversions.h"
#include "registry/registry_data.h"
#include "registry/scoped_reg_key.h"

namespace foxbane {

namespace {

using namespace win_error;

constexpr std::uint32_t kProfileTextCapacity = 255;
constexpr std::size_t kProfileSectionCapacity = 8192;
// Room for the longest value name Windows allows (16383 characters) and its
// NUL: with a smaller buffer a long name would end the listing early while
// the routine still reported success.
constexpr std::uint32_t kListingNameCapacity = 16384;
constexpr std::uint32_t kListingDataSize = 2048;

std::int32_t Result(ErrorCode code) { return static_cast<std::int32_t>(code); }

// The deletes treat "not there" as done.
std::int32_t DeleteResult(ErrorCode code) {
  return code == kFileNotFound ? 0 : Result(code);
}

// "S" and "BB": a first query without room learns the size; a value with
// no data at all leaves the default in place.
ErrorCode ReadText(Registry& registry, RegKey key, std::string_view name, Variant& value) {
  std::string buffer;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  ErrorCode result = registry.QueryValue(key, name, &type, buffer.data(), &size);
  if (result != kMoreData) return result;
  buffer.resize(size);
  result = registry.QueryValue(key, name, &type, buffer.data(), &size);
  if (result == kSuccess) value = RegistryDataTextWithoutLast(type, buffer.substr(0, size));
  return result;
}

// A fixed-size read: data longer than `width` bytes fail with 234. String
// data are measured as the single-byte call measures them, in the system's
// code page: "12" with its terminator is 3 bytes, and fits 4.
ErrorCode ReadNumber(Registry& registry, RegKey key, std::string_view name, std::uint32_t width,
                     std::uint32_t& number) {
  std::string bytes(width, '\0');
  std::uint32_t size = width;
  const ErrorCode result = registry.QueryValueAnsi(key, name, nullptr, bytes.data(), &size);
  if (result == kSuccess) number = FromLittleEndian(bytes);
  return result;
}

ErrorCode ReadTyped(Registry& registry, RegKey key, std::string_view name,
                    std::string_view typeCode, Variant& value) {
  if (typeCode == "S" || typeCode == "BB") return ReadText(registry, key, name, value);
  std::uint32_t number = 0;
  if (typeCode == "B") {
    const ErrorCode result = ReadNumber(registry, key, name, 2, number);
    if (result == kSuccess) value = Variant(number != 0);
    return result;
  }
  if (typeCode == "D") {
    const ErrorCode result = ReadNumber(registry, key, name, 4, number);
    if (result == kSuccess) value = Variant(static_cast<std::int32_t>(number));
    return result;
  }
  return kSuccess;
}

struct RegistryData {
  std::uint32_t type;
  std::string bytes;
};

// What a write stores for a type code; nothing for a code it does not know.
// Throws StepFailed when the value does not convert.
std::optional<RegistryData> DataToWrite(std::string_view typeCode, const Variant& value) {
  if (typeCode == "S") return RegistryData{reg_type::kString, Utf16LeBytesFromUtf8(value.Text())};
  if (typeCode == "B") {
    return RegistryData{reg_type::kBinary, LittleEndianBytes(value.ToBoolean() ? 0xFFFF : 0, 2)};
  }
  if (typeCode == "D") {
    const auto extended = static_cast<std::int32_t>(value.ToInt16());
    return RegistryData{reg_type::kDword,
                        LittleEndianBytes(static_cast<std::uint32_t>(extended), 4)};
  }
  return std::nullopt;
}

// One listing entry; strings carry their own terminator, numbers get one.
ErrorCode AppendEntry(Registry& registry, RegKey key, const std::string& name,
                      std::uint32_t type, std::uint32_t size, std::string& listing) {
  std::uint32_t number = 0;
  switch (type) {
    case reg_type::kString: {
      std::string data(size, '\0');
      const ErrorCode result = registry.QueryValue(key, name, nullptr, data.data(), &size);
      if (result == kSuccess) listing += name + "=" + RegistryDataText(type, data.substr(0, size));
      return result;
    }
    case reg_type::kBinary: {
      if (size > 2) return kSuccess;
      const ErrorCode result = ReadNumber(registry, key, name, 2, number);
      if (result == kSuccess) listing += name + "=" + std::to_string(number) + '\0';
      return result;
    }
    case reg_type::kDword: {
      const ErrorCode result = ReadNumber(registry, key, name, 4, number);
      if (result == kSuccess) {
        listing += name + "=" + DecimalText(static_cast<std::int32_t>(number)) + '\0';
      }
      return result;
    }
    default:
      return kSuccess;
  }
}

}  // namespace

RegKey modRegistry::HiveFromName(std::string_view hiveName) {
  static constexpr std::pair<std::string_view, RegKey> kHives[] = {
      {"HKCU", reg_root::kCurrentUser},   {"HKLM", reg_root::kLocalMachine},
      {"HKU", reg_root::kUsers},          {"HKDD", reg_root::kDynData},
      {"HKCC", reg_root::kCurrentConfig}, {"HKCR", reg_root::kClassesRoot},
  };
  const std::string upper = ToUpperAscii(hiveName);
  for (const auto& [name, root] : kHives) {
    if (upper == name) return root;
  }
  return files_.FindFile(hiveName, 0).empty() ? 0 : ProfileFileRoot;
}

std::span<const RegView> modRegistry::ViewsOf(std::string_view hiveName) {
  static constexpr RegView kBothViews[] = {reg_view::k64Bit, reg_view::k32Bit};
  static constexpr RegView kOwnView[] = {reg_view::kDefault};
  const std::string upper = ToUpperAscii(hiveName);
  if (registry_.HasTwoViews() && (upper == "HKLM" || upper == "HKCR")) return kBothViews;
  return kOwnView;
}

std::int32_t modRegistry::ReadRegValue(std::string_view hiveName, std::string_view keyPath,
                                       std::string_view valueName, std::string_view typeCode,
                                       const Variant& defaultValue, Variant& value,
                                       RegView view) {
  value = defaultValue;
  const RegKey root = HiveFromName(hiveName);
  if (root == 0) return kUnknownHive;
  const std::string code = ToUpperAscii(typeCode);

  if (root == ProfileFileRoot) {
    const auto readText = [&] {
      std::string text;
      profiles_.ReadString(hiveName, keyPath, valueName, defaultValue.Text(),
                           kProfileTextCapacity, text);
      return Variant(std::move(text));
    };
    if (code == "S") {
      value = readText();
    } else {
      value = profiles_.ReadInt(hiveName, keyPath, valueName, 0);
      if (code == "BB") value = readText();
    }
    return 0;
  }

  ScopedRegKey key(registry_);
  if (const ErrorCode result = key.Open(root, keyPath, reg_access::kQueryValue | view)) {
    return Result(result);
  }
  if (const ErrorCode result = ReadTyped(registry_, key.get(), valueName, code, value)) {
    return Result(result);
  }
  return Result(key.Close());
}

std::int32_t modRegistry::WriteRegValue(std::string_view hiveName, std::string_view keyPath,
                                        std::string_view valueName, std::string_view typeCode,
                                        const Variant& value, RegView view) {
  const RegKey root = HiveFromName(hiveName);
  if (root == 0) return kUnknownHive;
  const std::string code = ToUpperAscii(typeCode);

  if (root == ProfileFileRoot) {
    if (code != "S") return kUnknownHive;
    profiles_.WriteString(hiveName, keyPath, valueName, value.Text());
    return 0;
  }

  ScopedRegKey key(registry_);
  const ErrorCode created =
      key.Create(root, keyPath, reg_access::kSetValue | reg_access::kCreateSubKey | view);
  if (created != kSuccess) return Result(created);
  std::optional<RegistryData> data;
  try {
    data = DataToWrite(code, value);
  } catch (const StepFailed&) {
    return Result(created);
  }
  if (data) {
    if (const ErrorCode result = registry_.SetValue(key.get(), valueName, data->type, data->bytes)) {
      return Result(result);
    }
  }
  return Result(key.Close());
}

std::int32_t modRegistry::DeleteRegValue(std::string_view hiveName, std::string_view keyPath,
                                         std::string_view valueName, RegView view) {
  const RegKey root = HiveFromName(hiveName);
  if (root == 0) return kUnknownHive;

  if (root == ProfileFileRoot) {
    profiles_.WriteString(hiveName, keyPath, valueName, std::string_view());
    return 0;
  }

  ScopedRegKey key(registry_);
  ErrorCode result = key.Open(root, keyPath, reg_access::kSetValue | view);
  if (result == kSuccess) result = registry_.DeleteValue(key.get(), valueName);
  return DeleteResult(result);
}

// No profile-file mode here: a file path goes on as the root and the open
// fails with 6.
std::int32_t modRegistry::DeleteRegKey(std::string_view hiveName, std::string_view keyPath,
                                       std::string_view subKeyName, RegView view) {
  const RegKey root = HiveFromName(hiveName);
  if (root == 0) return kUnknownHive;

  ScopedRegKey key(registry_);
  ErrorCode result = key.Open(root, keyPath, reg_access::kCreateSubKey | view);
  if (result == kSuccess) result = registry_.DeleteKey(key.get(), subKeyName, view);
  return DeleteResult(result);
}

std::int32_t modRegistry::ListRegValues(std::string_view hiveName, std::string_view keyPath,
                                        std::string& listing, RegView view) {
  const RegKey root = HiveFromName(hiveName);
  if (root == 0) return kUnknownHive;

  if (root == ProfileFileRoot) {
    listing.assign(kProfileSectionCapacity, ' ');
    profiles_.ReadSection(hiveName, keyPath, listing);
    return 0;
  }

  ScopedRegKey key(registry_);
  if (const ErrorCode result = key.Open(root, keyPath, reg_access::kQueryValue | view)) {
    return Result(result);
  }
  ErrorCode enumerated = kSuccess;
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    std::uint32_t type = 0;
    std::uint32_t size = kListingDataSize;
    enumerated = registry_.EnumValue(key.get(), index, name, kListingNameCapacity, &type,
                                     nullptr, &size);
    if (enumerated != kSuccess) break;
    if (const ErrorCode result = AppendEntry(registry_, key.get(), name, type, size, listing)) {
      return Result(result);
    }
  }
  // An enumeration that broke off is a failed read like any other, not the
  // end of the list.
  if (enumerated != kNoMoreItems) return Result(enumerated);
  listing += '\0';
  if (listing.size() == 1) listing += '\0';
  return Result(key.Close());
}

}  // namespace foxbane
