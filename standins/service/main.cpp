// vantrel-standin: the live-traffic web service and the download server on 127.0.0.1, for tests and
// the demo. See docs/service-protocol.md.
#include "standins/service/download_faults.h"
#include "standins/service/service_routes.h"
#include "standins/service/standin_options.h"

#include <fmt/format.h>
#include <httplib.h>

#include <pthread.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <thread>

namespace {

// SIGTERM and SIGINT are taken by a thread of their own rather than a handler: httplib's stop() does
// nothing until the listening loop runs, so a signal that arrives between the bind and the loop (a test
// that stops the stand-in as soon as it says it listens) waits for the loop instead of being lost.
sigset_t lf_stopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    return signals;
}

void lf_stopOnSignal(httplib::Server& server) {
    std::thread([&server] {
        const sigset_t signals = lf_stopSignals();
        int signal = 0;
        sigwait(&signals, &signal);
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        server.stop();
    }).detach();
}

} // namespace

int main(int argc, char** argv) {
    using namespace kvr::standin;
    // Blocked before any thread starts, so that every thread inherits the mask.
    const sigset_t stopSignals = lf_stopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    StandinOptions options;
    if (const auto error = parseStandinArguments(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::cerr
            << "vantrel-standin: " << *error << "\n"
            << "usage: vantrel-standin [--port P] [--scenario FILE] [--downloads DIR] [--faults SPEC]\n"
               "                       [--download-faults SPEC] [--start-epoch SECONDS] [--speed FACTOR]\n"
               "                       [--quiet]\n";
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
    if (!options.downloadFaults.empty()) {
        DownloadFaultSpec downloadFaults;
        if (const auto error = gf_parseDownloadFaultSpec(options.downloadFaults, downloadFaults)) {
            std::cerr << "vantrel-standin: " << *error << "\n";
            return 1;
        }
        gf_installDownloadFaults(server, options.downloadsFolder, downloadFaults);
    }
    if (!options.quiet) {
        server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
            std::cout << fmt::format("{} {} {}", request.method, request.path, response.status) << std::endl;
        });
    }

    if (!server.bind_to_port("127.0.0.1", options.port)) {
        std::cerr << "vantrel-standin: cannot listen on 127.0.0.1:" << options.port << "\n";
        return 1;
    }
    lf_stopOnSignal(server);
    std::cout << "vantrel-standin listening on 127.0.0.1:" << options.port << std::endl;
    server.listen_after_bind();
    std::cout << "vantrel-standin stopped" << std::endl;
    return 0;
}
