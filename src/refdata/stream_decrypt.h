#pragma once
#include <cstddef>
#include <filesystem>
#include <string>

namespace kvr {

// Plaintext bytes per chunk of the encrypted data files (the last chunk may be shorter and carries the
// final tag). Each chunk grows by the 17 bytes of its tag and authenticator; a 24-byte header leads.
inline constexpr std::size_t streamChunkBytes = 4096;

// Decrypts an encrypted data file with the program's key into plainFile. A stream without the final tag,
// with bytes after it, or with a chunk that does not authenticate is refused. True on success; on
// failure it logs the cause ("gf_streamDecrypt: ..."), removes the plain file and returns false.
bool gf_streamDecrypt(const std::filesystem::path& encryptedFile, const std::filesystem::path& plainFile);

// Decrypts an encrypted data file into memory, refusing the same streams as gf_streamDecrypt. Empty on
// success; otherwise the cause, already logged ("gf_streamDecrypt: ..."), and plain is left empty. No
// plain text ever reaches the disk.
std::string gf_decryptToMemory(const std::filesystem::path& encryptedFile, std::string& plain);

} // namespace kvr
