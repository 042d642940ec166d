#include "standins/service/standin_options.h"

#include <charconv>

namespace kvr::standin {

std::optional<std::string> parseStandinArguments(const std::vector<std::string>& arguments,
                                                 StandinOptions& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& flag = arguments[i];
        if (flag == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (i + 1 >= arguments.size())
            return "missing value after " + flag;
        const std::string& value = arguments[++i];
        if (flag == "--port") {
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), options.port);
            if (ec != std::errc() || end != value.data() + value.size() || options.port < 0 ||
                options.port > 65535)
                return "bad port: " + value;
        } else if (flag == "--scenario") {
            options.scenarioFile = value;
        } else if (flag == "--downloads") {
            options.downloadsFolder = value;
        } else if (flag == "--faults") {
            options.faults = value;
        } else if (flag == "--download-faults") {
            options.downloadFaults = value;
        } else if (flag == "--start-epoch") {
            double epoch = 0.0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), epoch);
            if (ec != std::errc() || end != value.data() + value.size() || epoch <= 0.0)
                return "bad start epoch: " + value;
            options.startEpoch = epoch;
        } else if (flag == "--speed") {
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), options.speed);
            if (ec != std::errc() || end != value.data() + value.size() || !(options.speed > 0.0) ||
                options.speed > 1000.0)
                return "bad speed: " + value;
        } else {
            return "unknown option " + flag;
        }
    }
    return std::nullopt;
}

} // namespace kvr::standin
