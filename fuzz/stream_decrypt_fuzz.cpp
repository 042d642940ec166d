// Decryption of the encrypted data files: the bytes as an encrypted file (which must be refused, leaving
// no plain file and no plain text, unless they are a whole stream), and the bytes as plain text encrypted
// and decrypted again, into a file and into memory.
#include "fuzz_support.h"
#include "refdata/stream_decrypt.h"
#include "support/file_text.h"
#include "tools/data_encryptor/stream_encryptor.h"

#include <filesystem>

namespace {

// Waits for the whole plain text; its length.
std::size_t lf_allOf(const kvr::DecryptingBuffer& decrypting) {
    std::size_t have = 0;
    for (std::size_t now; (now = decrypting.waitBeyond(have)) > have;)
        have = now;
    return have;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kvr;
    namespace fs = std::filesystem;
    const std::string_view bytes = fuzz::asText(data, size);
    const fs::path encrypted = fuzz::scratchFolder() / "dbase.enc";
    const fs::path plain = fuzz::scratchFolder() / "dbase.xml";

    fuzz::writeInput(encrypted, bytes);
    if (gf_streamDecrypt(encrypted, plain))
        FUZZ_CHECK(fs::is_regular_file(plain));
    else
        FUZZ_CHECK(!fs::exists(plain));
    fs::remove(plain);
    {
        const DecryptingBuffer decrypting(encrypted);
        const std::size_t have = lf_allOf(decrypting);
        FUZZ_CHECK(decrypting.waitForError().empty() ? have < bytes.size() : have <= bytes.size());
    }
    FUZZ_CHECK(!fs::exists(plain));

    FUZZ_CHECK(gf_encryptBytes(bytes, encrypted).empty());
    FUZZ_CHECK(gf_streamDecrypt(encrypted, plain));
    FUZZ_CHECK(test::readFileText(plain) == bytes);
    const DecryptingBuffer decrypting(encrypted);
    FUZZ_CHECK(std::string_view(decrypting.data(), lf_allOf(decrypting)) == bytes);
    FUZZ_CHECK(decrypting.waitForError().empty());
    fs::remove(plain);
    return 0;
}
