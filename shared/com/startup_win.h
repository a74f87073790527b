// The library's start routine and the flags it sets once per thread.
#pragma once

namespace tk {

struct LibraryFlags {
  bool isVista = false;       // platform id 2, major version exactly 6
  bool isWindows64 = false;   // Windows itself is 64-bit
};

// Runs once per thread, before the thread's first library object; later calls
// return the flags already set.
const LibraryFlags& StartLibrary() noexcept;

}  // namespace tk
