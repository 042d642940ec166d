#pragma once
#include "refdata/data_key.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kvr {

// Encrypts bytes into the format of the program's data files: a secret-stream header, then chunks of
// streamChunkBytes plaintext bytes, the last one (possibly empty) tagged final. The file is written
// beside its target and renamed into place. Empty on success, else the cause.
std::string gf_encryptBytes(std::string_view plain, const std::filesystem::path& encryptedFile,
                            const DataKey& key = dataFileKey);

// Reads an XML file, refuses it when it is not well-formed, and encrypts it. Empty on success, else the
// cause.
std::string gf_encryptXmlFile(const std::filesystem::path& xmlFile,
                              const std::filesystem::path& encryptedFile, const DataKey& key = dataFileKey);

} // namespace kvr
