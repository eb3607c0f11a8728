#include "win32/registry.h"

#include <windows.h>

#include <algorithm>

#include "common/utf.h"
#include "registry/registry_data.h"
#include "win32/text.h"

namespace foxbane::win32 {

namespace {

// Windows writes a predefined root as its 32-bit value sign-extended into a
// handle (HKEY_CURRENT_USER is 0xFFFFFFFF80000001 in a 64-bit program); the
// port writes it as the 32-bit value itself.
HKEY ToHandle(RegKey key) {
  if (key <= 0xFFFFFFFFu) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
  }
  return reinterpret_cast<HKEY>(key);
}

RegKey FromHandle(HKEY handle) {
  const auto bits = reinterpret_cast<std::uintptr_t>(handle);
  // Widened for the test: a 32-bit program's handles have no upper half.
  return (static_cast<std::uint64_t>(bits) >> 32) == 0xFFFFFFFFu ? (bits & 0xFFFFFFFFu) : bits;
}

ErrorCode Code(LSTATUS status) { return static_cast<ErrorCode>(status); }

// A size or type that the caller may leave out, in the DWORD the API takes.
class OptionalDword {
 public:
  explicit OptionalDword(std::uint32_t* target) : target_(target), value_(target ? *target : 0) {}
  ~OptionalDword() {
    if (target_) *target_ = value_;
  }
  OptionalDword(const OptionalDword&) = delete;
  OptionalDword& operator=(const OptionalDword&) = delete;
  DWORD* get() { return target_ ? &value_ : nullptr; }

 private:
  std::uint32_t* target_;
  DWORD value_;
};

}  // namespace

// A 64-bit program runs only on 64-bit Windows; a 32-bit one sees two views
// when it runs under WOW64.
bool Win32Registry::HasTwoViews() {
  if constexpr (sizeof(void*) == 8) return true;
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

ErrorCode Win32Registry::OpenKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                                 RegKey& key) {
  HKEY opened = nullptr;
  const LSTATUS status =
      RegOpenKeyExW(ToHandle(parent), Wide(subKey).c_str(), 0, access, &opened);
  key = status == ERROR_SUCCESS ? FromHandle(opened) : 0;
  return Code(status);
}

ErrorCode Win32Registry::CreateKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                                   RegKey& key) {
  HKEY created = nullptr;
  const LSTATUS status = RegCreateKeyExW(ToHandle(parent), Wide(subKey).c_str(), 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, access, nullptr, &created,
                                         nullptr);
  key = status == ERROR_SUCCESS ? FromHandle(created) : 0;
  return Code(status);
}

ErrorCode Win32Registry::CloseKey(RegKey key) { return Code(RegCloseKey(ToHandle(key))); }

ErrorCode Win32Registry::QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                                    char* data, std::uint32_t* size) {
  OptionalDword typeOut(type);
  OptionalDword sizeInOut(size);
  return Code(RegQueryValueExW(ToHandle(key), Wide(name).c_str(), nullptr, typeOut.get(),
                               reinterpret_cast<BYTE*>(data), sizeInOut.get()));
}

// The data whole, read again should they grow between the two calls; then
// as RegQueryValueExA hands them over.
ErrorCode Win32Registry::QueryValueAnsi(RegKey key, std::string_view name, std::uint32_t* type,
                                        char* data, std::uint32_t* size) {
  if (data && !size) return ERROR_INVALID_PARAMETER;
  const std::wstring wideName = Wide(name);
  DWORD storedType = 0;
  std::string stored;
  LSTATUS status = ERROR_MORE_DATA;
  for (DWORD bytes = 0; status == ERROR_MORE_DATA;) {
    stored.resize(bytes);
    status = RegQueryValueExW(ToHandle(key), wideName.c_str(), nullptr, &storedType,
                              reinterpret_cast<BYTE*>(stored.data()), &bytes);
    if (status == ERROR_SUCCESS) stored.resize(bytes);
  }
  if (status != ERROR_SUCCESS) return Code(status);
  if (IsStringType(storedType)) {
    const std::u16string units = Utf16FromLeBytes(stored);
    if (const ErrorCode e = AnsiFromWide(std::wstring(units.begin(), units.end()), stored)) return e;
  }
  if (type) *type = storedType;
  if (!size) return ERROR_SUCCESS;
  const auto needed = static_cast<std::uint32_t>(stored.size());
  const bool fits = *size >= needed;
  *size = needed;
  if (!data) return ERROR_SUCCESS;
  if (!fits) return ERROR_MORE_DATA;
  std::copy(stored.begin(), stored.end(), data);
  return ERROR_SUCCESS;
}

// For string types Windows looks one character past the data and counts a
// NUL found there, although the size leaves it out. The data therefore go in
// a buffer framed by non-zero units, so that exactly `data` is stored and
// nothing outside the buffer is read.
ErrorCode Win32Registry::SetValue(RegKey key, std::string_view name, std::uint32_t type,
                                  std::string_view data) {
  std::string framed(2, '\xFF');
  framed.append(data);
  framed.append(2, '\xFF');
  return Code(RegSetValueExW(ToHandle(key), Wide(name).c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(framed.data() + 2),
                             static_cast<DWORD>(data.size())));
}

ErrorCode Win32Registry::DeleteValue(RegKey key, std::string_view name) {
  return Code(RegDeleteValueW(ToHandle(key), Wide(name).c_str()));
}

ErrorCode Win32Registry::EnumValue(RegKey key, std::uint32_t index, std::string& name,
                                   std::uint32_t nameCapacity, std::uint32_t* type, char* data,
                                   std::uint32_t* size) {
  std::wstring buffer(nameCapacity, L'\0');
  DWORD length = nameCapacity;
  OptionalDword typeOut(type);
  OptionalDword sizeInOut(size);
  const LSTATUS status =
      RegEnumValueW(ToHandle(key), index, buffer.data(), &length, nullptr, typeOut.get(),
                    reinterpret_cast<BYTE*>(data), sizeInOut.get());
  if (status == ERROR_SUCCESS) name = Narrow(std::wstring_view(buffer.data(), length));
  return Code(status);
}

ErrorCode Win32Registry::EnumKey(RegKey key, std::uint32_t index, std::string& name) {
  wchar_t buffer[256] = {};  // the longest key name and its NUL
  const LSTATUS status = RegEnumKeyW(ToHandle(key), index, buffer, 256);
  if (status == ERROR_SUCCESS) name = Narrow(buffer);
  return Code(status);
}

ErrorCode Win32Registry::QueryLongestValueName(RegKey key, std::uint32_t& length) {
  DWORD longest = 0;
  const LSTATUS status = RegQueryInfoKeyW(ToHandle(key), nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                                          nullptr);
  if (status == ERROR_SUCCESS) length = longest;
  return Code(status);
}

ErrorCode Win32Registry::CountValues(RegKey key, std::uint32_t& count) {
  DWORD values = 0;
  const LSTATUS status = RegQueryInfoKeyW(ToHandle(key), nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                                          nullptr);
  if (status == ERROR_SUCCESS) count = values;
  return Code(status);
}

ErrorCode Win32Registry::DeleteKey(RegKey key, std::string_view subKey, RegView view) {
  return Code(RegDeleteKeyExW(ToHandle(key), Wide(subKey).c_str(), view, 0));
}

}  // namespace foxbane::win32
