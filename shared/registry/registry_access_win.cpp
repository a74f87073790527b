// The registry operations of CRegistry over the wide registry functions.
#include "shared/registry/registry_access_win.h"

#include <algorithm>
#include <set>

#include "common/text/utf.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "shared/registry/registry_export.h"
#include "shared/registry/registry_keys.h"
#include "shared/system_message.h"
#include "shared/tree_walk.h"

namespace tk {

using hg::win::unique_hkey;
using hg::win::Widen;

namespace {

constexpr std::size_t kLongestValueName = 16383;
constexpr std::size_t kLongestKeyName = 255;

// Every name an enumeration gives, asking index after index until it stops;
// the buffer holds the longest name the registry allows.
template <typename NameAt>
std::vector<std::string> EnumNames(std::size_t longest, NameAt nameAt) {
  std::vector<std::string> names;
  std::wstring name(longest + 1, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    if (nameAt(index, name.data(), &length) != ERROR_SUCCESS) break;
    names.push_back(hg::win::Narrow(std::wstring_view(name.data(), length)));
  }
  return names;
}

// The platform's handle for a predefined root (sign-extended, as the SDK's macros do).
HKEY RootHandle(std::uint32_t key) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
}

// A 64-bit pseudo root stands for its plain root in the same registry.
std::uint32_t PlainRoot(std::uint32_t key) { return Is64bitKey(key) ? Get64bitRootKey(key) : key; }

std::string Join(const std::string& path, const std::string& name) { return path + "\\" + name; }

// Reads a value whole, sized from the value itself (it may grow meanwhile).
LSTATUS QueryValue(HKEY key, const std::wstring& name, std::vector<std::uint8_t>& data, DWORD& type) {
  for (;;) {
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return status;
    data.assign(size, 0);
    std::uint8_t spare = 0;
    status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, size ? data.data() : &spare, &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status == ERROR_SUCCESS) data.resize(size);
    return status;
  }
}

// Sizes the buffers from the key's longest value name and data; false when
// they are large enough already.
bool FitValueBuffers(HKEY key, std::wstring& name, std::vector<std::uint8_t>& data) {
  DWORD longestName = 0;
  DWORD longestData = 0;
  ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &longestName, &longestData, nullptr, nullptr);
  const bool grows = longestName + 1 > name.size() || longestData + 1 > data.size();
  name.resize(std::max<std::size_t>(name.size(), longestName + 1));
  data.resize(std::max<std::size_t>(data.size(), longestData + 1));
  return grows;
}

// Calls visit(name, type, data) for each value in index order, with buffers
// sized from the key so that no value is cut short (a value that grows
// meanwhile is read again). The first other status that is not success ends
// the list; a false visit ends it and gives false.
template <typename Visit>
bool ForEachValue(HKEY key, Visit&& visit) {
  std::wstring name;
  std::vector<std::uint8_t> data;
  FitValueBuffers(key, name, data);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataLength = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LSTATUS status = ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                           data.data(), &dataLength);
    if (status == ERROR_MORE_DATA && FitValueBuffers(key, name, data)) {
      --index;
      continue;
    }
    if (status != ERROR_SUCCESS) return true;
    if (!visit(std::wstring(name.data(), nameLength), type,
               std::span<const std::uint8_t>(data.data(), dataLength))) {
      return false;
    }
  }
}

#ifdef _WIN64
// A 64-bit process sees the 64-bit classes unless it asks for the 32-bit view.
constexpr REGSAM kClasses32bitView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kClasses32bitView = 0;  // a 32-bit process's own view is the 32-bit one
#endif

// The class identifiers in one view of HKEY_CLASSES_ROOT\CLSID whose class
// declares the category.
std::vector<std::string> ClassesOfCategory(const std::string& catId, REGSAM view) {
  unique_hkey classes;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_READ | view, classes.put()) != ERROR_SUCCESS) {
    classes.release();
    return {};
  }
  std::vector<std::string> found;
  for (std::string& clsid : EnumNames(kLongestKeyName, [&](DWORD index, wchar_t* name, DWORD* length) {
         return ::RegEnumKeyExW(classes.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
       })) {
    unique_hkey category;
    const std::wstring path = Widen(clsid + "\\Implemented Categories\\" + catId);
    if (::RegOpenKeyExW(classes.get(), path.c_str(), 0, KEY_READ | view, category.put()) != ERROR_SUCCESS) {
      category.release();
      continue;
    }
    found.push_back(std::move(clsid));
  }
  return found;
}

}  // namespace

bool RegistryAccess::OpenKey(std::uint32_t key, const std::string& subKey, bool readOnly,
                             unique_hkey& opened, std::string& falseCause) const {
  falseCause.clear();
  const std::wstring path = Widen(subKey);
  LSTATUS status = ERROR_INVALID_HANDLE;
  if (Is64bitKey(key)) {
    if (!flags_.isWindows64) {
      falseCause = InvalidKeyText(key);
      return false;
    }
    const REGSAM access = (readOnly ? KEY_READ : KEY_ALL_ACCESS) | KEY_WOW64_64KEY;
    status = ::RegOpenKeyExW(RootHandle(Get64bitRootKey(key)), path.c_str(), 0, access, opened.put());
  } else if (IsPredefinedRoot(key)) {
    status = ::RegOpenKeyW(RootHandle(key), path.c_str(), opened.put());
  }
  if (status != ERROR_SUCCESS) {
    opened.release();  // whatever a failed call left in the slot is no handle of ours
    falseCause = OpenKeyFailedText(key, subKey, readOnly);
    return false;
  }
  return true;
}

bool RegistryAccess::CreateKeyAnyOS(std::uint32_t key, const std::string& subKey,
                                    unique_hkey& opened, std::string& falseCause) const {
  falseCause.clear();
  const std::wstring path = Widen(subKey);
  LSTATUS status = ERROR_INVALID_HANDLE;
  if (Is64bitKey(key)) {
    if (!flags_.isWindows64) {
      falseCause = InvalidKeyText(key);
      return false;
    }
    status = ::RegCreateKeyExW(RootHandle(Get64bitRootKey(key)), path.c_str(), 0, nullptr, 0,
                               KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, opened.put(), nullptr);
  } else if (IsPredefinedRoot(key)) {
    status = ::RegCreateKeyW(RootHandle(key), path.c_str(), opened.put());
  }
  if (status != ERROR_SUCCESS) {
    opened.release();
    falseCause = CreateKeyFailedText(key, subKey);
    return false;
  }
  return true;
}

bool RegistryAccess::QueryString(std::uint32_t key, const std::string& subKey,
                                 const std::string& name, std::string& value) const {
  value.clear();
  unique_hkey opened;
  std::string ignored;
  if (!OpenKey(key, subKey, true, opened, ignored)) return false;
  std::vector<std::uint8_t> data;
  DWORD type = 0;
  if (QueryValue(opened.get(), Widen(name), data, type) != ERROR_SUCCESS) return false;
  std::u16string units;
  for (std::size_t i = 0; i < data.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | (i + 1 < data.size() ? data[i + 1] << 8 : 0));
    if (unit == u'\0') break;
    units += unit;
  }
  value = hg::text::Utf16ToUtf8(units);
  return true;
}

bool RegistryAccess::QueryDword(std::uint32_t key, const std::string& subKey,
                                const std::string& name, std::uint32_t& value) const {
  unique_hkey opened;
  std::string ignored;
  if (!OpenKey(key, subKey, true, opened, ignored)) return false;
  std::uint8_t bytes[4] = {};
  DWORD size = sizeof(bytes);
  if (::RegQueryValueExW(opened.get(), Widen(name).c_str(), nullptr, nullptr, bytes, &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return true;
}

bool RegistryAccess::QueryBinary(std::uint32_t key, const std::string& subKey,
                                 const std::string& name, std::span<std::uint8_t> buffer,
                                 std::uint32_t& length) const {
  length = static_cast<std::uint32_t>(buffer.size());
  unique_hkey opened;
  std::string ignored;
  if (!OpenKey(key, subKey, true, opened, ignored)) return false;
  // A null buffer would turn the read into a size query that succeeds.
  std::uint8_t spare = 0;
  DWORD size = length;
  const LSTATUS status = ::RegQueryValueExW(opened.get(), Widen(name).c_str(), nullptr, nullptr,
                                            buffer.empty() ? &spare : buffer.data(), &size);
  length = size;
  return status == ERROR_SUCCESS;
}

bool RegistryAccess::SetString(std::uint32_t key, const std::string& subKey,
                               const std::string& name, const std::string& value) const {
  unique_hkey opened;
  std::string ignored;
  if (!CreateKeyAnyOS(key, subKey, opened, ignored)) return false;
  const std::wstring text = Widen(value);
  return ::RegSetValueExW(opened.get(), Widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistryAccess::SetDword(std::uint32_t key, const std::string& subKey,
                              const std::string& name, std::uint32_t value) const {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                 static_cast<std::uint8_t>(value >> 16),
                                 static_cast<std::uint8_t>(value >> 24)};
  unique_hkey opened;
  std::string ignored;
  if (!CreateKeyAnyOS(key, subKey, opened, ignored)) return false;
  return ::RegSetValueExW(opened.get(), Widen(name).c_str(), 0, REG_DWORD, bytes, sizeof(bytes)) ==
         ERROR_SUCCESS;
}

bool RegistryAccess::SetBinary(std::uint32_t key, const std::string& subKey,
                               const std::string& name, std::span<const std::uint8_t> value) const {
  unique_hkey opened;
  std::string ignored;
  if (!CreateKeyAnyOS(key, subKey, opened, ignored)) return false;
  return ::RegSetValueExW(opened.get(), Widen(name).c_str(), 0, REG_BINARY, value.data(),
                          static_cast<DWORD>(value.size())) == ERROR_SUCCESS;
}

bool RegistryAccess::DeleteValue(std::uint32_t key, const std::string& subKey,
                                 const std::string& name) const {
  unique_hkey opened;
  std::string ignored;
  if (!OpenKey(key, subKey, false, opened, ignored)) return true;
  return ::RegDeleteValueW(opened.get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

bool RegistryAccess::DeleteKeyEx(std::uint32_t key, const std::string& subKey,
                                 std::string& falseCause) const {
  falseCause.clear();
  if (NamesRoot(subKey)) {
    hg::win::ThrowHResult(E_INVALIDARG, "DeleteKeyEx needs a subkey: a root key is never emptied.");
  }
  return DeleteTree(key, WithoutTrailingBackslash(subKey), falseCause);
}

bool RegistryAccess::DeleteTree(std::uint32_t key, const std::string& subKey,
                                std::string& falseCause) const {
  // Depth first: a key goes once everything below it has gone.
  return WalkDepthFirst(
      subKey,
      [&](const std::string& path, std::vector<std::string>& children) {
        for (const std::string& child : EnumKey(key, path)) children.push_back(Join(path, child));
        return true;
      },
      [&](const std::string& path) { return DeleteOneKey(key, path, falseCause); });
}

bool RegistryAccess::DeleteOneKey(std::uint32_t key, const std::string& subKey,
                                  std::string& falseCause) const {
  const std::wstring path = Widen(subKey);
  LSTATUS status = ERROR_INVALID_HANDLE;
  if (Is64bitKey(key)) {
    if (!flags_.isWindows64) {
      falseCause = kKey64OnOs32;
      return false;
    }
    status = ::RegDeleteKeyExW(RootHandle(Get64bitRootKey(key)), path.c_str(), KEY_WOW64_64KEY, 0);
  } else if (IsPredefinedRoot(key)) {
    status = ::RegDeleteKeyW(RootHandle(key), path.c_str());
  }
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
  falseCause = ErrorText(status);
  return false;
}

std::vector<std::string> RegistryAccess::EnumKey(std::uint32_t key, const std::string& subKey) const {
  unique_hkey opened;
  std::string ignored;
  if (!OpenKey(key, subKey, true, opened, ignored)) return {};
  return EnumNames(kLongestKeyName, [&](DWORD index, wchar_t* name, DWORD* length) {
    return ::RegEnumKeyExW(opened.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
  });
}

bool RegistryAccess::IsKeyExist(std::uint32_t key, const std::string& subKey) const {
  unique_hkey opened;
  std::string ignored;
  return OpenKey(key, subKey, true, opened, ignored);
}

bool RegistryAccess::EnumValuesEx(std::uint32_t key, const std::string& subKey,
                                  std::vector<std::string>& names, std::string& falseCause) const {
  names.clear();
  try {
    unique_hkey opened;
    if (!OpenKey(key, subKey, true, opened, falseCause)) return false;
    // Names only: a value's data, however large, cannot end the listing.
    names = EnumNames(kLongestValueName, [&](DWORD index, wchar_t* name, DWORD* length) {
      return ::RegEnumValueW(opened.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
    return true;
  } catch (const std::exception& failure) {
    falseCause = DescriptionOf(failure);
    return false;
  }
}

std::string RegistryAccess::SaveAsReg50(std::uint32_t key, std::string& subKey) const {
  subKey = WithoutTrailingBackslash(subKey);
  const auto rootName = ExportRootName(key);
  if (!rootName) hg::win::ThrowHResult(E_NOTIMPL, "No registry-file name for root " + GetKeyName(key) + ".");
  std::string text;
  ExportTree(key, *rootName, subKey, text);
  return text;
}

void RegistryAccess::ExportTree(std::uint32_t key, const std::string& rootName,
                                const std::string& subKey, std::string& text) const {
  // Parents before their children; a key that cannot be opened is left out
  // with its tree.
  WalkDepthFirst(subKey, [&](const std::string& path, std::vector<std::string>& children) {
    unique_hkey opened;
    std::string ignored;
    if (!OpenKey(key, path, true, opened, ignored)) return true;
    text += KeySection(rootName, path);
    ForEachValue(opened.get(), [&](const std::wstring& name, DWORD type,
                                   std::span<const std::uint8_t> data) {
      text += ValueLine(hg::win::Narrow(name), type, data);
      return true;
    });
    opened.reset();
    for (const std::string& child : EnumKey(key, path)) children.push_back(Join(path, child));
    return true;
  });
}

std::string RegistryAccess::SaveSingleValueAsReg50(std::uint32_t key, const std::string& subKey,
                                                   const std::string& valueName) const {
  const std::string path = WithoutTrailingBackslash(subKey);
  const auto rootName = ExportRootName(key);
  if (!rootName) hg::win::ThrowHResult(E_NOTIMPL, "No registry-file name for root " + GetKeyName(key) + ".");
  unique_hkey opened;
  std::string ignored;
  if (!OpenKey(key, path, true, opened, ignored)) return {};
  const std::string wanted = hg::text::FoldCase(valueName);
  std::string line;
  ForEachValue(opened.get(), [&](const std::wstring& name, DWORD type,
                                 std::span<const std::uint8_t> data) {
    const std::string utf8 = hg::win::Narrow(name);
    if (hg::text::FoldCase(utf8) != wanted) return true;
    line = ValueLine(utf8, type, data);
    return false;
  });
  return line.empty() ? std::string() : KeySection(*rootName, path) + line;
}

bool RegistryAccess::CopySubKey(std::uint32_t key, const std::string& subKey, std::uint32_t toKey,
                                const std::string& putToSubKey, std::string& falseCause) const {
  falseCause.clear();
  try {
    const std::string source = WithoutTrailingBackslash(subKey);
    const std::string destination = Join(putToSubKey, LastName(source));
    // A copy into its own tree would find its new keys among those to copy, without end.
    if (PlainRoot(key) == PlainRoot(toKey) && IsSameOrBelow(destination, source) &&
        !IsSameOrBelow(source, destination)) {
      falseCause = kKeyInsideSource;
      return false;
    }
    return CopyTree(key, source, toKey, putToSubKey, falseCause);
  } catch (const std::exception& failure) {
    falseCause = DescriptionOf(failure);
    return false;
  }
}

bool RegistryAccess::CopyTree(std::uint32_t key, const std::string& subKey, std::uint32_t toKey,
                              const std::string& putToSubKey, std::string& falseCause) const {
  struct Copy {
    std::string source;
    std::string into;  // the key that receives the copy as a child
  };
  // Parents before their children, each key's values with it.
  return WalkDepthFirst(Copy{subKey, putToSubKey}, [&](const Copy& copy, std::vector<Copy>& children) {
    const std::string destination = Join(copy.into, LastName(copy.source));
    {
      // The source first: a missing one must leave no empty copy behind.
      unique_hkey source;
      if (!OpenKey(key, copy.source, true, source, falseCause)) return false;
      unique_hkey target;
      if (!CreateKeyAnyOS(toKey, destination, target, falseCause)) return false;
      LSTATUS written = ERROR_SUCCESS;
      ForEachValue(source.get(), [&](const std::wstring& name, DWORD type,
                                     std::span<const std::uint8_t> data) {
        written = ::RegSetValueExW(target.get(), name.c_str(), 0, type, data.data(),
                                   static_cast<DWORD>(data.size()));
        return written == ERROR_SUCCESS;
      });
      if (written != ERROR_SUCCESS) {
        falseCause = SystemMessageText(static_cast<DWORD>(written));
        return false;
      }
    }
    for (const std::string& child : EnumKey(key, copy.source)) {
      children.push_back({Join(copy.source, child), destination});
    }
    return true;
  });
}

bool RegistryAccess::CopySingleValue(std::uint32_t key, const std::string& subKey,
                                     const std::string& valueName, std::uint32_t toKey,
                                     const std::string& toSubKey, std::string& falseCause) const {
  falseCause.clear();
  try {
    const std::wstring name = Widen(valueName);
    std::vector<std::uint8_t> data;
    DWORD type = 0;
    {
      unique_hkey source;
      if (!OpenKey(key, subKey, true, source, falseCause)) return false;
      const LSTATUS read = QueryValue(source.get(), name, data, type);
      if (read != ERROR_SUCCESS) {
        falseCause = SystemMessageText(static_cast<DWORD>(read));
        return false;
      }
    }
    unique_hkey target;
    if (!CreateKeyAnyOS(toKey, toSubKey, target, falseCause)) return false;
    const LSTATUS written = ::RegSetValueExW(target.get(), name.c_str(), 0, type, data.data(),
                                             static_cast<DWORD>(data.size()));
    if (written != ERROR_SUCCESS) {
      falseCause = SystemMessageText(static_cast<DWORD>(written));
      return false;
    }
    return true;
  } catch (const std::exception& failure) {
    falseCause = DescriptionOf(failure);
    return false;
  }
}

std::vector<RegistryAccess::FoundClass> RegistryAccess::EnumClassesOfCategory(
    const std::string& catId, bool include32, bool include64) const {
  const bool with64 = include64 && flags_.isWindows64;
  const bool both = include32 && with64;
  std::vector<FoundClass> found;
  std::set<std::string> seen;
  if (include32) {
    for (std::string& clsid : ClassesOfCategory(catId, kClasses32bitView)) {
      seen.insert(hg::text::FoldCase(clsid));
      found.push_back({std::move(clsid), both});
    }
  }
  if (with64) {
    for (std::string& clsid : ClassesOfCategory(catId, KEY_WOW64_64KEY)) {
      if (both && seen.count(hg::text::FoldCase(clsid)) != 0) continue;
      found.push_back({std::move(clsid), false});
    }
  }
  return found;
}

std::string RegistryAccess::ErrorText(LSTATUS status) const {
  const auto code = static_cast<unsigned long>(status);
  return ErrorTextOf(code, flags_.isVista, code != 0 ? SystemMessageText(code) : std::string());
}

}  // namespace tk
