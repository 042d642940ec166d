#pragma once
#include <array>
#include <cstddef>

namespace kvr {

// The secret-stream key of the encrypted data files. It is compiled into the program and into the
// encryptor tool that builds input/*.enc, so both always agree.
using DataKey = std::array<unsigned char, 32>;

extern const DataKey dataFileKey;

} // namespace kvr
