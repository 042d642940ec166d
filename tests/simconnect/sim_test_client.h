#pragma once
// A bare client of the SimConnect stand-in that keeps every message it receives, for the tests of the
// simulated simulator.
#include "platform/simconnect/simconnect.h"
#include "platform/simconnect/simulated_simulator.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace kvr::simsim::test {

struct Received {
    DWORD id = 0;
    std::vector<std::byte> bytes;

    template <typename Record> Record as() const {
        Record record{};
        std::memcpy(&record, bytes.data(), std::min(sizeof record, bytes.size()));
        return record;
    }
    // The values of a data answer, read as doubles from dwData on.
    std::vector<double> doubles() const {
        const SIMCONNECT_RECV_SIMOBJECT_DATA head{};
        const auto offset = static_cast<std::size_t>(reinterpret_cast<const char*>(&head.dwData) -
                                                     reinterpret_cast<const char*>(&head));
        std::vector<double> values((bytes.size() - offset) / sizeof(double));
        std::memcpy(values.data(), bytes.data() + offset, values.size() * sizeof(double));
        return values;
    }
    std::string textAt(std::size_t index, std::size_t length) const {
        const SIMCONNECT_RECV_SIMOBJECT_DATA head{};
        const auto offset = static_cast<std::size_t>(reinterpret_cast<const char*>(&head.dwData) -
                                                     reinterpret_cast<const char*>(&head));
        const char* at = reinterpret_cast<const char*>(bytes.data()) + offset + index;
        return std::string(at, strnlen(at, length));
    }
};

class TestClient {
public:
    ~TestClient() {
        if (handle)
            SimConnect_Close(handle);
    }
    bool open() { return SUCCEEDED(SimConnect_Open(&handle, "test", nullptr, 0, nullptr, 0)); }
    HRESULT dispatch() { return SimConnect_CallDispatch(handle, &TestClient::collect, this); }
    std::vector<Received> take() {
        dispatch();
        return std::move(messages);
    }
    DWORD lastPacket() const {
        DWORD id = 0;
        SimConnect_GetLastSentPacketID(handle, &id);
        return id;
    }

    HANDLE handle = nullptr;
    std::vector<Received> messages;

private:
    static void CALLBACK collect(SIMCONNECT_RECV* data, DWORD size, void* context) {
        Received received;
        received.id = data->dwID;
        received.bytes.resize(size);
        std::memcpy(received.bytes.data(), data, size);
        static_cast<TestClient*>(context)->messages.push_back(std::move(received));
    }
};

inline std::vector<Received> only(const std::vector<Received>& messages, DWORD id) {
    std::vector<Received> result;
    for (const Received& message : messages)
        if (message.id == id)
            result.push_back(message);
    return result;
}

// A scenario at EHAM with three installed titles; the simulator and the flight start at once.
inline Scenario ehamScenario() {
    Scenario scenario;
    scenario.kind = "MSFS 2020";
    scenario.applicationName = "KittyHawk";
    scenario.version = {11, 0, 282174, 999};
    scenario.utcStartEpoch = 1750000000;
    scenario.creationDelaySeconds = 0.5;
    scenario.packagesFolder = std::filesystem::path(); // only the titles below
    scenario.extraTitles = {"Boeing 737-800 KLM", "Airbus A320 easyJet", "Embraer 175 KLM Cityhopper"};
    scenario.user.title = "Boeing 737-800 KLM (PH-BXA)";
    scenario.user.atcModel = "B738";
    scenario.user.wingspanFt = 117.4;
    scenario.user.latitude = 52.30860;
    scenario.user.longitude = 4.76390;
    scenario.user.altitudeFt = -11;
    scenario.user.headingDeg = 225;
    return scenario;
}

// Installs a fresh simulator for one test and removes it again.
struct InstalledSimulator {
    explicit InstalledSimulator(Scenario scenario)
        : sim(std::make_shared<SimulatedSimulator>(std::move(scenario))) {
        installSimulator(sim);
    }
    ~InstalledSimulator() { installSimulator(nullptr); }
    std::shared_ptr<SimulatedSimulator> sim;
};

} // namespace kvr::simsim::test
