#include "simlink/sim_answer.h"

#include <fmt/format.h>

#include <cstring>
#include <stdexcept>

namespace kvr {

SimAnswerReader::SimAnswerReader(const SIMCONNECT_RECV_SIMOBJECT_DATA& data, DWORD size)
    : next_(reinterpret_cast<const std::byte*>(&data.dwData)), left_(0), requestId_(data.dwRequestID) {
    const auto offset = static_cast<std::size_t>(next_ - reinterpret_cast<const std::byte*>(&data));
    left_ = size > offset ? size - offset : 0;
}

const std::byte* SimAnswerReader::take(std::size_t count) {
    if (count > left_)
        throw std::runtime_error(fmt::format("answer {} too short", requestId_));
    const std::byte* at = next_;
    next_ += count;
    left_ -= count;
    return at;
}

double SimAnswerReader::float64() {
    double value;
    std::memcpy(&value, take(sizeof value), sizeof value);
    return value;
}

std::int32_t SimAnswerReader::int32() {
    std::int32_t value;
    std::memcpy(&value, take(sizeof value), sizeof value);
    return value;
}

std::string SimAnswerReader::text(std::size_t length) {
    const auto* bytes = reinterpret_cast<const char*>(take(length));
    return std::string(bytes, strnlen(bytes, length));
}

} // namespace kvr
