#include "refdata/stream_decrypt.h"

#include "core/file_util.h"

#include "core/log.h"
#include "core/native_path.h"
#include "refdata/data_key.h"

#include <fmt/format.h>
#include <sodium.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace kvr {

namespace {

constexpr auto progressLookInterval = std::chrono::milliseconds(50);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

void lf_initSodium() {
    static const int initResult = sodium_init();
    if (initResult < 0)
        throw std::runtime_error("libsodium could not be initialised");
}

constexpr const char* writeRefused = "cannot be written";

// Empty on success, else the cause (without the file name). Each authenticated chunk goes to write(bytes,
// length), which answers false when it cannot take them; what it was given before a failure may be half a
// stream, which the caller throws away.
template <typename Write>
std::string lf_decryptStream(const std::filesystem::path& encryptedFile, Write&& write) {
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
        if (plainLength > 0 && !write(plain.data(), static_cast<std::size_t>(plainLength)))
            return writeRefused;
        if (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
            unsigned char extra[256];
            std::size_t trailing = 0;
            for (std::size_t n; (n = std::fread(extra, 1, sizeof extra, in.get())) > 0;)
                trailing += n;
            if (trailing > 0)
                return fmt::format("{} bytes after the final chunk", trailing);
            return {};
        }
    }
}

std::string lf_decryptToFile(const std::filesystem::path& encryptedFile,
                             const std::filesystem::path& plainFile) {
    const std::string cannotWrite = fmt::format("plain file {} cannot be written", gf_pathToUtf8(plainFile));
    FilePtr out(gf_openCFile(plainFile, "wb"));
    if (!out)
        return cannotWrite;
    const std::string error =
        lf_decryptStream(encryptedFile, [&](const unsigned char* bytes, std::size_t length) {
            return std::fwrite(bytes, 1, length, out.get()) == length;
        });
    if (!error.empty())
        return error == writeRefused ? cannotWrite : error;
    if (std::fclose(out.release()) != 0)
        return cannotWrite;
    return {};
}

} // namespace

bool gf_streamDecrypt(const std::filesystem::path& encryptedFile, const std::filesystem::path& plainFile) {
    std::string error;
    try {
        error = lf_decryptToFile(encryptedFile, plainFile);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (error.empty())
        return true;
    gf_logError(fmt::format("gf_streamDecrypt: {}: {}", gf_pathToUtf8(encryptedFile), error));
    gf_removeFileWarn(plainFile);
    return false;
}

DecryptingBuffer::DecryptingBuffer(const std::filesystem::path& encryptedFile) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(encryptedFile, ec);
    // The plain text is shorter than the encrypted file by the header and 17 bytes per chunk.
    capacity_ = ec ? 0 : static_cast<std::size_t>(size);
    buffer_ = std::make_unique_for_overwrite<char[]>(capacity_ + 1);
    thread_ = std::jthread([this, encryptedFile](std::stop_token stop) { decrypt(encryptedFile, stop); });
}

void DecryptingBuffer::decrypt(const std::filesystem::path& encryptedFile, const std::stop_token& stop) {
    std::string error;
    try {
        std::size_t filled = 0;
        error = lf_decryptStream(encryptedFile, [&](const unsigned char* bytes, std::size_t length) {
            if (stop.stop_requested() || length > capacity_ - filled)
                return false;
            std::memcpy(buffer_.get() + filled, bytes, length);
            filled += length;
            available_.store(filled, std::memory_order_release);
            announceProgress();
            return true;
        });
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!error.empty() && !stop.stop_requested())
        gf_logError(fmt::format("gf_streamDecrypt: {}: {}", gf_pathToUtf8(encryptedFile), error));
    error_ = std::move(error);
    ended_.store(true, std::memory_order_release);
    announceProgress();
}

void DecryptingBuffer::announceProgress() {
    {
        std::lock_guard lock(progressMutex_);
        ++progress_;
    }
    progressChanged_.notify_all();
}

std::size_t DecryptingBuffer::waitBeyond(std::size_t have) const {
    std::unique_lock lock(progressMutex_);
    while (true) {
        // Read under the lock: a chunk or the end that comes after this read raises the count, so the wait
        // below cannot miss them.
        const std::uint64_t seen = progress_;
        const bool ended = ended_.load(std::memory_order_acquire);
        const std::size_t now = available_.load(std::memory_order_acquire);
        if (now > have || ended)
            return now;
        progressChanged_.wait_for(lock, progressLookInterval, [&] { return progress_ != seen; });
    }
}

std::string DecryptingBuffer::waitForError() const {
    while (!ended_.load(std::memory_order_acquire))
        waitBeyond(available_.load(std::memory_order_acquire));
    return error_;
}

} // namespace kvr
