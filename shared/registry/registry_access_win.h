// The registry operations of CRegistry on UTF-8 names, over the wide registry
// functions. Roots are enRegistryKey values (see registry_keys.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/win/unique_any.h"
#include "shared/com/startup_win.h"

namespace tk {

class RegistryAccess {
 public:
  explicit RegistryAccess(const LibraryFlags& flags) : flags_(flags) {}

  // Opens an existing key; on failure gives the reason.
  bool OpenKey(std::uint32_t key, const std::string& subKey, bool readOnly,
               hg::win::unique_hkey& opened, std::string& falseCause) const;
  // Opens a key, creating it and any missing keys above it.
  bool CreateKeyAnyOS(std::uint32_t key, const std::string& subKey, hg::win::unique_hkey& opened,
                      std::string& falseCause) const;

  // Reads any type as UTF-16 text up to its first zero unit.
  bool QueryString(std::uint32_t key, const std::string& subKey, const std::string& name,
                   std::string& value) const;
  // Reads at most four bytes of any type.
  bool QueryDword(std::uint32_t key, const std::string& subKey, const std::string& name,
                  std::uint32_t& value) const;
  // Reads into buffer; length becomes the byte count the platform reports.
  bool QueryBinary(std::uint32_t key, const std::string& subKey, const std::string& name,
                   std::span<std::uint8_t> buffer, std::uint32_t& length) const;

  // Strings are written without a terminating zero unit.
  bool SetString(std::uint32_t key, const std::string& subKey, const std::string& name,
                 const std::string& value) const;
  bool SetDword(std::uint32_t key, const std::string& subKey, const std::string& name,
                std::uint32_t value) const;
  bool SetBinary(std::uint32_t key, const std::string& subKey, const std::string& name,
                 std::span<const std::uint8_t> value) const;

  // True when the key cannot be opened: the value is taken as absent.
  bool DeleteValue(std::uint32_t key, const std::string& subKey, const std::string& name) const;
  // Deletes the key and its whole tree; E_INVALIDARG for a subkey naming the root.
  bool DeleteKeyEx(std::uint32_t key, const std::string& subKey, std::string& falseCause) const;

  std::vector<std::string> EnumKey(std::uint32_t key, const std::string& subKey) const;
  bool IsKeyExist(std::uint32_t key, const std::string& subKey) const;
  bool EnumValuesEx(std::uint32_t key, const std::string& subKey, std::vector<std::string>& names,
                    std::string& falseCause) const;

  // Registry-file text of the key and its tree; subKey loses one trailing
  // backslash. E_NOTIMPL for a root outside the enumeration.
  std::string SaveAsReg50(std::uint32_t key, std::string& subKey) const;
  std::string SaveSingleValueAsReg50(std::uint32_t key, const std::string& subKey,
                                     const std::string& valueName) const;
  // Copies subKey's tree into putToSubKey as a child with the same last name.
  bool CopySubKey(std::uint32_t key, const std::string& subKey, std::uint32_t toKey,
                  const std::string& putToSubKey, std::string& falseCause) const;
  bool CopySingleValue(std::uint32_t key, const std::string& subKey, const std::string& valueName,
                       std::uint32_t toKey, const std::string& toSubKey,
                       std::string& falseCause) const;

  struct FoundClass {
    std::string clsid;
    bool keyed;  // added with the class identifier as its key too
  };
  // Classes declaring the category: those of the 32-bit view first, then
  // those of the 64-bit view on a 64-bit Windows.
  std::vector<FoundClass> EnumClassesOfCategory(const std::string& catId, bool include32,
                                                bool include64) const;

 private:
  bool DeleteTree(std::uint32_t key, const std::string& subKey, std::string& falseCause) const;
  bool DeleteOneKey(std::uint32_t key, const std::string& subKey, std::string& falseCause) const;
  void ExportTree(std::uint32_t key, const std::string& rootName, const std::string& subKey,
                  std::string& text) const;
  bool CopyTree(std::uint32_t key, const std::string& subKey, std::uint32_t toKey,
                const std::string& putToSubKey, std::string& falseCause) const;
  std::string ErrorText(LSTATUS status) const;

  LibraryFlags flags_;
};

}  // namespace tk
