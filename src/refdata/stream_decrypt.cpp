#include "refdata/stream_decrypt.h"

#include "core/file_util.h"

#include "core/log.h"
#include "core/native_path.h"
#include "refdata/data_key.h"

#include <fmt/format.h>
#include <sodium.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace kvr {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

void lf_initSodium() {
    static const int initResult = sodium_init();
    if (initResult < 0)
        throw std::runtime_error("libsodium could not be initialised");
}

// Empty on success, else the cause (without the file name). The plain file may be left half written; the
// caller removes it.
std::string lf_decryptStream(const std::filesystem::path& encryptedFile,
                             const std::filesystem::path& plainFile) {
    lf_initSodium();
    FilePtr in(gf_openCFile(encryptedFile, "rb"));
    if (!in)
        return "cannot be opened";

    unsigned char header[crypto_secretstream_xchacha20poly1305_HEADERBYTES];
    if (std::fread(header, 1, sizeof header, in.get()) != sizeof header)
        return "too short for a stream header";
    crypto_secretstream_xchacha20poly1305_state state;
    if (crypto_secretstream_xchacha20poly1305_init_pull(&state, header, dataFileKey.data()) != 0)
        return "invalid stream header";

    FilePtr out(gf_openCFile(plainFile, "wb"));
    if (!out)
        return fmt::format("plain file {} cannot be written", plainFile.string());

    std::vector<unsigned char> cipher(streamChunkBytes + crypto_secretstream_xchacha20poly1305_ABYTES);
    std::vector<unsigned char> plain(streamChunkBytes);
    for (std::size_t chunk = 1;; ++chunk) {
        const std::size_t got = std::fread(cipher.data(), 1, cipher.size(), in.get());
        if (got == 0)
            return "ends without the final chunk";
        unsigned long long plainLength = 0;
        unsigned char tag = 0;
        if (crypto_secretstream_xchacha20poly1305_pull(&state, plain.data(), &plainLength, &tag,
                                                       cipher.data(), got, nullptr, 0) != 0)
            return fmt::format("chunk {} does not authenticate (damaged file or wrong key)", chunk);
        if (plainLength > 0 && std::fwrite(plain.data(), 1, plainLength, out.get()) != plainLength)
            return fmt::format("plain file {} cannot be written", plainFile.string());
        if (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
            unsigned char extra[256];
            std::size_t trailing = 0;
            for (std::size_t n; (n = std::fread(extra, 1, sizeof extra, in.get())) > 0;)
                trailing += n;
            if (trailing > 0)
                return fmt::format("{} bytes after the final chunk", trailing);
            break;
        }
    }
    if (std::fclose(out.release()) != 0)
        return fmt::format("plain file {} cannot be written", plainFile.string());
    return {};
}

std::filesystem::path lf_plainPathBeside(const std::filesystem::path& encryptedFile) {
    std::filesystem::path plain = encryptedFile;
    plain.replace_extension(".xml");
    if (plain == encryptedFile)
        plain += ".plain";
    return plain;
}

} // namespace

bool gf_streamDecrypt(const std::filesystem::path& encryptedFile, const std::filesystem::path& plainFile) {
    std::string error;
    try {
        error = lf_decryptStream(encryptedFile, plainFile);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (error.empty())
        return true;
    gf_logError(fmt::format("gf_streamDecrypt: {}: {}", encryptedFile.string(), error));
    gf_removeFileWarn(plainFile);
    return false;
}

DecryptedFile::DecryptedFile(const std::filesystem::path& encryptedFile)
    : plainPath_(lf_plainPathBeside(encryptedFile)) {
    try {
        error_ = lf_decryptStream(encryptedFile, plainPath_);
    } catch (const std::exception& e) {
        error_ = e.what();
    }
    if (!error_.empty())
        gf_logError(fmt::format("gf_streamDecrypt: {}: {}", encryptedFile.string(), error_));
}

DecryptedFile::~DecryptedFile() {
    gf_removeFileWarn(plainPath_);
}

} // namespace kvr
