// The machine type of a portable-executable image, from its first bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tk {

struct MachineType {
  bool ok = false;
  bool is32Bit = false;
  bool is64Bit = false;
  std::string falseCause;  // why ok is false
};

// The head of a file (up to 10,240 bytes): the DOS header's "MZ", its pointer
// to the NT headers (1 to 5,000), the "PE\0\0" signature and the machine field.
MachineType ReadMachineType(std::span<const std::uint8_t> head);

}  // namespace tk
