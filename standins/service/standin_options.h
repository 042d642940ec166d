#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvr::standin {

struct StandinOptions {
    int port = 18767;
    std::filesystem::path scenarioFile;    // live-traffic scenario (JSON); empty: no traffic
    std::filesystem::path downloadsFolder; // served under /downloads/; empty: no downloads
    std::string faults;                    // faults to inject, see docs/service-protocol.md
    std::string downloadFaults;            // slow downloads, see docs/download-server.md
    bool quiet = false;                    // no request log on standard output
    std::optional<double> startEpoch;      // the service clock at start (epoch s); default: the real time
    double speed = 1.0;                    // service seconds per real second
};

// Parses the command line; returns the error text when it is not valid.
std::optional<std::string> parseStandinArguments(const std::vector<std::string>& arguments,
                                                 StandinOptions& options);

} // namespace kvr::standin
