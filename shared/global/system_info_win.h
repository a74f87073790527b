// The platform queries behind the global class's system information. Texts
// are UTF-8; failures are thrown as HResultError where the caller raises them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tk {

// Environment references expanded, the result whole. A text or an expansion
// longer than the system expands throws RefusedText; a failed expansion throws
// with the last error and its text.
std::string ExpandEnvironment(std::string_view text);

// Throws with the last error when the name cannot be read.
std::string ComputerName();

// The temporary folder with its trailing "\", or empty.
std::string TempPath();

// Creates an empty file with a unique name in the temporary folder; throws
// E_FAIL with "Cannot create a temporary file. " and the system message, and
// RefusedText for a prefix holding a separator or "..".
std::string CreateTempFile(std::string_view prefix);

// The value of the variable "windir", or empty.
std::string WindowsFolder();

struct WindowsVersionInfo {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;  // the low 16 bits of the build number
  std::uint32_t platformId = 0;
  std::string servicePack;
};

// All zero when the system does not answer.
WindowsVersionInfo QueryWindowsVersion() noexcept;

std::string CpuType();

// The fixed file version as "a.b.c.d", or empty.
std::string FileVersion(std::string_view fileName);

// The string fields of the version resource that exist, in a fixed order,
// each as (field name, value); empty without a version resource.
std::vector<std::pair<std::string, std::string>> FileVersionStrings(std::string_view fileName);

// True when the database engine can create a database; leaves no file behind.
bool IsDaoAvailable() noexcept;

// Dial-up connections: true with at least one, false when they cannot be
// enumerated; throws E_NOTIMPL when there is none. Pumps one window message.
bool IsDialUpConnected();

// Takes at most one pending message of the thread and dispatches it.
void PumpOneMessage() noexcept;

// The shell folder for a CSIDL value (flags included), or empty.
std::string ShellFolder(int csidl);

}  // namespace tk
