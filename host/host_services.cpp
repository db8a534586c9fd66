#include "host/host_services.h"

namespace host {
namespace {
const HostServices* g_services = nullptr;
}

const HostServices* services() { return g_services; }
void setServices(const HostServices* table) { g_services = table; }
}  // namespace host
