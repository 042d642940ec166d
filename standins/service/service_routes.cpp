#include "standins/service/service_routes.h"

namespace kvr::standin {

namespace {

// Until the scenario traffic is served, every /v4 request is answered 503 so that clients see a
// service that is there but not ready, never a made-up answer.
class UnavailableService : public ServiceRoutes {};

} // namespace

std::unique_ptr<ServiceRoutes> registerServiceRoutes(httplib::Server& server, const StandinOptions&) {
    server.Post(R"(/v4/.*)", [](const httplib::Request&, httplib::Response& response) {
        response.status = 503;
        response.set_content(R"({"error":"service not available"})", "application/json");
    });
    return std::make_unique<UnavailableService>();
}

} // namespace kvr::standin
