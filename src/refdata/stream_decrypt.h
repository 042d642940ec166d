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


// The decrypted form of one data file, written beside it ("dbase.enc" -> "dbase.xml") and removed again
// when the object goes, whether reading it succeeded or not.
class DecryptedFile {
public:
    explicit DecryptedFile(const std::filesystem::path& encryptedFile);
    ~DecryptedFile();
    DecryptedFile(const DecryptedFile&) = delete;
    DecryptedFile& operator=(const DecryptedFile&) = delete;

    // Empty when the plain file is ready; otherwise why decryption failed (already logged).
    const std::string& error() const { return error_; }
    const std::filesystem::path& plainPath() const { return plainPath_; }

private:
    std::filesystem::path plainPath_;
    std::string error_;
};

} // namespace kvr
