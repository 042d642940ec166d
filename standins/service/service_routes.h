#pragma once
#include "standins/service/standin_options.h"

#include <httplib.h>

#include <memory>

namespace kvr::standin {

// The live-traffic service side of the stand-in (/v4/...). Holds the scenario and the session state.
class ServiceRoutes {
public:
    virtual ~ServiceRoutes() = default;
};

// Registers the /v4 endpoints on the server; the returned object must outlive the server's run.
// Throws std::runtime_error when the scenario or the fault list cannot be read.
std::unique_ptr<ServiceRoutes> registerServiceRoutes(httplib::Server& server, const StandinOptions& options);

} // namespace kvr::standin
