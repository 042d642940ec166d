#pragma once
// Building the receive records the simulated simulator hands to its clients.
#include "platform/simconnect/simulated_simulator.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <span>

namespace kvr::simsim {

// Where the values of a data answer start: at the record's dwData member.
inline std::size_t simObjectDataOffset() {
    const SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE record{};
    return static_cast<std::size_t>(reinterpret_cast<const char*>(&record.dwData) -
                                    reinterpret_cast<const char*>(&record));
}

// The record, copied into storage of its own, followed at tailOffset by the tail bytes (data answers).
// dwSize and dwVersion are filled in; dwID is the caller's.
template <typename Record>
SimMessage makeSimMessage(const Record& record, std::span<const std::byte> tail = {},
                          std::size_t tailOffset = sizeof(Record)) {
    SimMessage message;
    const std::size_t size = std::max(sizeof(Record), tailOffset + tail.size());
    message.bytes = std::make_unique<std::byte[]>(size);
    Record* placed = new (message.bytes.get()) Record(record);
    placed->dwSize = static_cast<DWORD>(size);
    placed->dwVersion = 1;
    if (!tail.empty())
        std::memcpy(message.bytes.get() + tailOffset, tail.data(), tail.size());
    message.head = placed;
    message.size = static_cast<DWORD>(size);
    return message;
}

} // namespace kvr::simsim
