// The program's services: the log, the dialogs, the hosts file and its file
// system, the library's objects. Start-up builds them once and hands them to
// the windows; tests build their own and install them for their scope.
#pragma once

#include <string>

namespace app::engine {

class FailureLog;
class UserDialogs;
class HostsFileSystem;
class LibraryObjects;

struct Services {
  FailureLog* log = nullptr;        // where failures are written; none: not logged
  UserDialogs* dialogs = nullptr;   // message, input and file dialogs
  std::string productName{};        // the title of every box whose caller gives none
  std::string hostsFilePath{};      // UTF-8
  HostsFileSystem* files = nullptr; // none: the system's file operations
  LibraryObjects* library = nullptr;  // the library objects held for the run
  bool watchHostsFile = true;       // false: the main window notices no outside change
};

// The services installed last; throws std::logic_error when none are.
Services& CurrentServices();
// The installed services, or null.
Services* InstalledServices() noexcept;

// Installs services for its own lifetime and then gives the previous ones back.
class ScopedServices {
 public:
  explicit ScopedServices(Services& services) noexcept;
  ~ScopedServices();
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  Services* previous_;
};

}  // namespace app::engine

// The program's other folders use the services unqualified, as they do the
// engine's other terms.
namespace app {
using namespace engine;
}  // namespace app
