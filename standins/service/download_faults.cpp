#include "standins/service/download_faults.h"

#include "standins/service/option_items.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string_view>
#include <thread>

namespace kvr::standin {

namespace {

using namespace std::chrono_literals;

// A held or trickling answer looks this often whether the stand-in is stopping or the client has gone.
constexpr auto checkInterval = 100ms;
constexpr std::string_view downloadsPrefix = "/downloads/";

std::optional<std::string> lf_fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void lf_announce(std::string_view what, const std::string& path) {
    std::cout << what << path << std::endl;
}

} // namespace

void gf_holdAnswer(const httplib::Server& server, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (server.is_running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(checkInterval);
}

std::optional<std::string> gf_parseDownloadFaultSpec(const std::string& text, DownloadFaultSpec& spec) {
    return gf_readItems(text, "download fault", [&spec](const std::string& key, const std::string& value) {
        bool ok = false;
        if (key == "hold") {
            ok = gf_readNumber(value, spec.holdSeconds) && spec.holdSeconds > 0.0;
        } else if (key == "rate") {
            ok = gf_readNumber(value, spec.bytesPerSecond) && spec.bytesPerSecond > 0;
        } else if (key == "path") {
            spec.pathPart = value;
            ok = !value.empty();
        } else {
            return ItemVerdict::unknownKey;
        }
        return ok ? ItemVerdict::taken : ItemVerdict::badValue;
    });
}

void gf_installDownloadFaults(httplib::Server& server, const std::filesystem::path& folder,
                              const DownloadFaultSpec& spec) {
    server.set_pre_routing_handler([&server, folder, spec](const httplib::Request& request,
                                                           httplib::Response& response) {
        const std::string& path = request.path;
        if (request.method != "GET" || !path.starts_with(downloadsPrefix) ||
            path.find(spec.pathPart) == std::string::npos || path.find("..") != std::string::npos)
            return httplib::Server::HandlerResponse::Unhandled;
        const auto bytes = lf_fileBytes(folder / path.substr(downloadsPrefix.size()));
        if (!bytes)
            return httplib::Server::HandlerResponse::Unhandled;
        if (spec.holdSeconds > 0.0) {
            lf_announce("download held: ", path);
            gf_holdAnswer(server, spec.holdSeconds);
        }
        if (spec.bytesPerSecond <= 0) {
            response.set_content(*bytes, "application/octet-stream");
            return httplib::Server::HandlerResponse::Handled;
        }
        lf_announce("download trickles: ", path);
        const auto body = std::make_shared<const std::string>(*bytes);
        const std::size_t bytesPerCheck =
            std::max<std::size_t>(1, static_cast<std::size_t>(spec.bytesPerSecond) / 10);
        response.set_content_provider(
            body->size(), "application/octet-stream",
            [&server, body, bytesPerCheck](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                std::this_thread::sleep_for(checkInterval);
                if (!server.is_running() || !sink.is_writable())
                    return false;
                return sink.write(body->data() + offset, std::min(bytesPerCheck, length));
            });
        return httplib::Server::HandlerResponse::Handled;
    });
}

} // namespace kvr::standin
