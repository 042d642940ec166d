#pragma once
// What the fuzz targets share: a scratch folder of the process for readers that take a path, and the check
// that ends a run when the code under test breaks one of its promises.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kvr::fuzz {

// A folder of this process under the system's temporary folder, created on first use and removed at exit.
const std::filesystem::path& scratchFolder();

// Writes the bytes to the file, creating its folders and replacing what it held.
void writeInput(const std::filesystem::path& path, std::string_view bytes);

std::string_view asText(const std::uint8_t* data, std::size_t size);

// Whether the text is valid UTF-8 (no overlong form, surrogate or code point beyond U+10FFFF).
bool isValidUtf8(std::string_view text);

// Prints what failed and aborts, so that libFuzzer keeps the input as a crash and the replay driver fails.
[[noreturn]] void failCheck(const char* condition, const char* file, int line);

} // namespace kvr::fuzz

#define FUZZ_CHECK(condition)                                                                                \
    ((condition) ? static_cast<void>(0) : ::kvr::fuzz::failCheck(#condition, __FILE__, __LINE__))
