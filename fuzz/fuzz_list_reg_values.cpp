// ListRegValues over a key of random values: names up to past the longest
// Windows allows, any type number, data of any length, and now and then a
// registry call that fails. The listing and the result are checked against an
// expectation built here from the values the key holds, and every key the
// routine opens must be closed again.
//
// Input: a flags byte (bit 0: the key is missing, bits 1-2: the hive name,
// bit 3: a fault follows), the caller's listing as a chunk, the fault (an
// operation byte, a call byte, an error byte), then one record per value: a
// type byte, the name as a chunk, the data as a chunk (see FuzzInput::Chunk).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "registry/mod_registry.h"
#include "sim/faults.h"
#include "sim/sim_file_system.h"
#include "sim/sim_profile_files.h"
#include "sim/sim_registry.h"

namespace {

using namespace foxbane;
using foxbane::fuzz::Check;
using foxbane::fuzz::FuzzInput;

constexpr std::string_view kKeyPath = "Software\\FoxbaneFuzz";
constexpr std::size_t kLongestValueName = 16383;  // UTF-16 units, as Windows counts them

constexpr std::array<std::pair<std::string_view, RegKey>, 4> kHives = {{
    {"HKCU", reg_root::kCurrentUser},
    {"HKLM", reg_root::kLocalMachine},
    {"hkcr", reg_root::kClassesRoot},
    {"Hkcu", reg_root::kCurrentUser},
}};

// The registry calls a fault can hit; ListRegValues makes no others before
// it closes its key.
enum Operation : std::size_t { kOpenKey, kEnumValue, kQueryValue, kOperationCount };
constexpr std::array<std::string_view, kOperationCount> kOperationNames = {
    "Registry.OpenKey", "Registry.EnumValue", "Registry.QueryValue"};
constexpr std::array<ErrorCode, 8> kFaultCodes = {2, 3, 5, 6, 8, 32, 234, 1018};

struct Fault {
  Operation operation;
  int call;  // 1-based
  ErrorCode code;
};

struct StoredValue {
  std::string name;
  std::uint32_t type;
  std::string data;
};

struct KeyDescription {
  std::string_view hive;
  RegKey root = 0;
  bool exists = true;
  std::string listing;  // what the caller's string holds before the call
  std::optional<Fault> fault;
  std::vector<StoredValue> values;  // as set, duplicates and all
};

void AppendUtf8(char32_t codePoint, std::string& out) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
    return;
  }
  const int continuations = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
  out += static_cast<char>((0xFF << (7 - continuations)) | (codePoint >> (6 * continuations)));
  for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6) {
    out += static_cast<char>(0x80 | ((codePoint >> shift) & 0x3F));
  }
}

// A value name as valid UTF-8: ASCII bytes stand for themselves, the others
// for Cyrillic letters (one UTF-16 unit each) or, from 0xF0 up, for emoji
// (two units each, a surrogate pair).
std::string NameFrom(std::string_view bytes) {
  std::string name;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    const char32_t codePoint = byte < 0x80   ? byte
                               : byte < 0xF0 ? 0x400 + (byte - 0x80)
                                             : 0x1F600 + (byte - 0xF0);
    AppendUtf8(codePoint, name);
  }
  return name;
}

// The length of valid UTF-8 text in UTF-16 units: one per lead byte, two for
// the four-byte forms.
std::size_t Utf16Units(std::string_view utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++units;
    if (byte >= 0xF0) ++units;
  }
  return units;
}

// Type numbers 0 to 15 mostly, the odd large one now and then.
std::uint32_t TypeFrom(std::uint8_t byte) { return byte < 0xF0 ? byte % 16u : 0xFFFFFF00u | byte; }

KeyDescription Describe(FuzzInput& input) {
  KeyDescription key;
  const std::uint8_t flags = input.Byte();
  key.exists = (flags & 1) == 0;
  const auto& [hive, root] = kHives[(flags >> 1) & 3];
  key.hive = hive;
  key.root = root;
  key.listing = input.Chunk();
  if (flags & 8) {
    const auto operation = static_cast<Operation>(input.Byte() % kOperationCount);
    const int call = input.Byte() % 32 + 1;
    key.fault = Fault{operation, call, kFaultCodes[input.Byte() % kFaultCodes.size()]};
  }
  while (!input.empty()) {
    const std::uint32_t type = TypeFrom(input.Byte());
    std::string name = NameFrom(input.Chunk());
    key.values.push_back(StoredValue{std::move(name), type, input.Chunk()});
  }
  return key;
}

std::uint32_t LittleEndian(std::string_view bytes) {
  std::uint32_t number = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) {
    number = (number << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return number;
}

// REG_SZ data as the listing shows them: the UTF-16LE units as UTF-8, a lone
// surrogate as U+FFFD, an odd last byte dropped, the stored NUL kept.
std::string ExpectedText(std::string_view bytes) {
  std::string text;
  const std::size_t count = bytes.size() / 2;
  const auto unit = [&](std::size_t i) -> char32_t { return LittleEndian(bytes.substr(2 * i, 2)); };
  for (std::size_t i = 0; i < count; ++i) {
    char32_t codePoint = unit(i);
    const bool high = codePoint >= 0xD800 && codePoint < 0xDC00;
    if (high && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (unit(++i) - 0xDC00);
    } else if (codePoint >= 0xD800 && codePoint < 0xE000) {
      codePoint = 0xFFFD;
    }
    AppendUtf8(codePoint, text);
  }
  return text;
}

struct Outcome {
  std::int32_t result = 0;
  std::string listing;
};

// What ListRegValues must give for the key as the registry now holds it: one
// entry per string, short binary and DWORD value, in enumeration order; a
// failed call ends the listing where it stands and gives its code.
Outcome Expected(const KeyDescription& key, const sim::SimRegistry& registry) {
  std::array<int, kOperationCount> calls{};
  const auto failure = [&](Operation operation) -> ErrorCode {
    const int call = ++calls[operation];
    const bool hit = key.fault && key.fault->operation == operation && key.fault->call == call;
    return hit ? key.fault->code : 0;
  };
  const auto failed = [](ErrorCode code, std::string listing) {
    return Outcome{static_cast<std::int32_t>(code), std::move(listing)};
  };

  std::string listing = key.listing;
  if (const ErrorCode code = failure(kOpenKey)) return failed(code, listing);
  if (!key.exists) return failed(win_error::kFileNotFound, listing);
  const std::vector<std::string> names = registry.ValueNames(key.root, kKeyPath);
  for (std::size_t index = 0;; ++index) {
    if (const ErrorCode code = failure(kEnumValue)) return failed(code, listing);
    if (index == names.size()) break;
    const std::string& name = names[index];
    if (Utf16Units(name) > kLongestValueName) return failed(win_error::kMoreData, listing);
    const auto [type, data] = *registry.Value(key.root, kKeyPath, name);
    if (type == reg_type::kString) {
      if (const ErrorCode code = failure(kQueryValue)) return failed(code, listing);
      listing += name + "=" + ExpectedText(data);
    } else if (type == reg_type::kBinary && data.size() <= 2) {
      if (const ErrorCode code = failure(kQueryValue)) return failed(code, listing);
      listing += name + "=" + std::to_string(LittleEndian(data)) + '\0';
    } else if (type == reg_type::kDword) {
      if (const ErrorCode code = failure(kQueryValue)) return failed(code, listing);
      if (data.size() > 4) return failed(win_error::kMoreData, listing);
      listing += name + "=" + std::to_string(static_cast<std::int32_t>(LittleEndian(data))) + '\0';
    }
  }
  listing += '\0';
  if (listing.size() == 1) listing += '\0';
  return Outcome{0, std::move(listing)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const KeyDescription key = Describe(input);

  sim::Faults faults;
  sim::SimRegistry registry(faults);
  sim::SimFileSystem files(faults);
  sim::SimProfileFiles profiles(faults, files);
  if (key.exists) {
    registry.CreateKeyPath(key.root, kKeyPath);
    for (const StoredValue& value : key.values) {
      registry.SetValue(key.root, kKeyPath, value.name, value.type, value.data);
    }
  }
  if (key.fault) {
    faults.Fail(std::string(kOperationNames[key.fault->operation]), key.fault->code,
                key.fault->call);
  }

  std::string listing = key.listing;
  const std::int32_t result =
      modRegistry(registry, profiles, files).ListRegValues(key.hive, kKeyPath, listing);

  const Outcome expected = Expected(key, registry);
  Check(result == expected.result, "ListRegValues returns the code of the call that failed, or 0");
  Check(listing == expected.listing, "the listing holds exactly the expected entries and NULs");
  Check(registry.OpenHandleCount() == 0, "every key handle is closed");
  return 0;
}
