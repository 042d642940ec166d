#pragma once
// Reading the values of a data answer in definition order, with the bounds checked.
#include "platform/simconnect/simconnect.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvr {

class SimAnswerReader {
public:
    // size: the whole message as the dispatch procedure got it.
    SimAnswerReader(const SIMCONNECT_RECV_SIMOBJECT_DATA& data, DWORD size);

    // Each throws std::runtime_error "answer <request> too short" when the answer ends first.
    double float64();
    std::int32_t int32();
    // A fixed-length text; the text ends at its first NUL.
    std::string text(std::size_t length);

private:
    const std::byte* take(std::size_t count);

    const std::byte* next_;
    std::size_t left_;
    DWORD requestId_;
};

} // namespace kvr
