#pragma once
// Slow download-server answers for the tests of stops and waits (syntax in docs/download-server.md).
#include <filesystem>
#include <optional>
#include <string>

namespace httplib {
class Server;
}

namespace kvr::standin {

struct DownloadFaultSpec {
    double holdSeconds = 0.0; // hold=SECONDS: nothing is answered for this long
    long bytesPerSecond = 0;  // rate=BYTES: the file trickles at this rate; 0: at once
    std::string pathPart;     // path=TEXT: only downloads whose path holds TEXT; empty: all
};

// Parses "key=value,key=value"; the error text when the text is not valid.
std::optional<std::string> gf_parseDownloadFaultSpec(const std::string& text, DownloadFaultSpec& spec);

// Holds an answer for the seconds given, or less when the stand-in stops meanwhile.
void gf_holdAnswer(const httplib::Server& server, double seconds);

// Serves the files of the folder below /downloads/ that the fault list names with its hold and its rate,
// ahead of the plain file serving. Each held or trickled download is announced on standard output
// ("download held: PATH" / "download trickles: PATH") when it begins.
void gf_installDownloadFaults(httplib::Server& server, const std::filesystem::path& folder,
                              const DownloadFaultSpec& spec);

} // namespace kvr::standin
