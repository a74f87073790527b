// The installer's part of a COM server: its file and, as installer registry
// entries, what its DllRegisterServer writes, machine-wide.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shared/com/registration.h"

namespace hg::installer {

// A WiX fragment with one component in INSTALLDIR: the server's file (from
// $(var.BinDir)) and one registry value below HKEY_CLASSES_ROOT for each of
// `values`, planned for the server at serverPath. That path and its folder
// become the installer's own references, so the entries follow the folder
// the package is installed to. The component and the file are named after
// the file.
std::string ServerFragment(const std::vector<tk::RegistryValue>& values,
                           std::string_view serverPath);

}  // namespace hg::installer
