#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace kvr {

// Plaintext bytes per chunk of the encrypted data files (the last chunk may be shorter and carries the
// final tag). Each chunk grows by the 17 bytes of its tag and authenticator; a 24-byte header leads.
inline constexpr std::size_t streamChunkBytes = 4096;

// Decrypts an encrypted data file with the program's key into plainFile. A stream without the final tag,
// with bytes after it, or with a chunk that does not authenticate is refused. True on success; on
// failure it logs the cause ("gf_streamDecrypt: ..."), removes the plain file and returns false.
bool gf_streamDecrypt(const std::filesystem::path& encryptedFile, const std::filesystem::path& plainFile);

// An encrypted data file decrypted into memory on a thread of its own, so that a reader can parse the
// first chunks while the later ones are still being decrypted; the plain text never reaches the disk. It
// refuses the same streams as gf_streamDecrypt. The bytes stay where they are once there; the thread is
// stopped and joined when the object goes (the thread object is the last member, so it goes first).
class DecryptingBuffer {
public:
    explicit DecryptingBuffer(const std::filesystem::path& encryptedFile);
    DecryptingBuffer(const DecryptingBuffer&) = delete;
    DecryptingBuffer& operator=(const DecryptingBuffer&) = delete;

    const char* data() const { return buffer_.get(); }
    // The most plain bytes the file can hold.
    std::size_t capacity() const { return capacity_; }
    // Waits until more than `have` plain bytes are there or decryption has ended; how many are there then
    // (`have` itself at the end).
    std::size_t waitBeyond(std::size_t have) const;
    // Waits for the end: empty when the whole stream decrypted, else the cause (already logged as
    // "gf_streamDecrypt: {file}: {cause}").
    std::string waitForError() const;

private:
    void decrypt(const std::filesystem::path& encryptedFile, const std::stop_token& stop);
    void announceProgress();

    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::atomic<std::size_t> available_{0};
    std::atomic<bool> ended_{false};
    // Raised with every chunk and at the end. A waiter looks again at least every 50 ms, so that a wake-up
    // the runtime loses (as the MinGW one can) costs a moment, never the program.
    std::uint64_t progress_ = 0;
    mutable std::mutex progressMutex_;
    mutable std::condition_variable progressChanged_;
    std::string error_; // written before ended_ is set
    std::jthread thread_;
};

} // namespace kvr
