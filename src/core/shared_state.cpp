#include "core/shared_state.h"

namespace kvr {

std::atomic<int> rangeNm{40};
std::atomic<int> rangeMetres{40 * 1852 + 10000};
std::atomic<bool> msfs2020Selected{true};
std::atomic<int> metaSimCode{1};

} // namespace kvr
