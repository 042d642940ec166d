// vantrel-standin: the live-traffic web service and the download server on 127.0.0.1, for tests and
// the demo. See docs/service-protocol.md.
#include "standins/service/service_routes.h"
#include "standins/service/standin_options.h"

#include <fmt/format.h>
#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <thread>

namespace {

httplib::Server* runningServer = nullptr;

void onStopSignal(int) {
    // stop() only flags the listening loop and shuts the socket down, which is safe here.
    if (runningServer != nullptr)
        runningServer->stop();
}

} // namespace

int main(int argc, char** argv) {
    using namespace kvr::standin;
    StandinOptions options;
    if (const auto error = parseStandinArguments(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::cerr << "vantrel-standin: " << *error << "\n"
                  << "usage: vantrel-standin [--port P] [--scenario FILE] [--downloads DIR] [--faults SPEC]\n"
                     "                       [--start-epoch SECONDS] [--speed FACTOR] [--quiet]\n";
        return 2;
    }

    httplib::Server server;
    std::unique_ptr<ServiceRoutes> service;
    try {
        service = registerServiceRoutes(server, options);
    } catch (const std::exception& e) {
        std::cerr << "vantrel-standin: " << e.what() << "\n";
        return 1;
    }
    if (!options.downloadsFolder.empty() &&
        !server.set_mount_point("/downloads", options.downloadsFolder.string())) {
        std::cerr << "vantrel-standin: downloads folder not found: " << options.downloadsFolder << "\n";
        return 1;
    }
    if (!options.quiet) {
        server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
            std::cout << fmt::format("{} {} {}", request.method, request.path, response.status) << std::endl;
        });
    }

    runningServer = &server;
    std::signal(SIGTERM, onStopSignal);
    std::signal(SIGINT, onStopSignal);

    if (!server.bind_to_port("127.0.0.1", options.port)) {
        std::cerr << "vantrel-standin: cannot listen on 127.0.0.1:" << options.port << "\n";
        return 1;
    }
    std::cout << "vantrel-standin listening on 127.0.0.1:" << options.port << std::endl;
    server.listen_after_bind();
    runningServer = nullptr;
    std::cout << "vantrel-standin stopped" << std::endl;
    return 0;
}
