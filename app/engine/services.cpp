// The program's services.
#include "app/engine/services.h"

#include <stdexcept>

namespace app::engine {
namespace {

Services* g_services = nullptr;

}  // namespace

Services& CurrentServices() {
  if (!g_services) throw std::logic_error("No services are installed.");
  return *g_services;
}

Services* InstalledServices() noexcept { return g_services; }

ScopedServices::ScopedServices(Services& services) noexcept : previous_(g_services) {
  g_services = &services;
}

ScopedServices::~ScopedServices() { g_services = previous_; }

}  // namespace app::engine
