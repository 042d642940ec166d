#include "core/file_util.h"
#include "refdata/stream_decrypt.h"

#include "refdata_fixtures.h"

#include <sodium.h>

namespace kvr {
namespace {

using test::readFileText;
using test::WorkingFolder;
using test::writeEncrypted;
using test::writeFileText;

constexpr std::size_t headerBytes = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
constexpr std::size_t chunkOverhead = crypto_secretstream_xchacha20poly1305_ABYTES;

std::string patternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + 7) & 0xff);
    return bytes;
}

TEST(StreamDecryptTest, RoundTripsAcrossChunkBoundaries) {
    WorkingFolder work;
    for (const std::size_t size : {0u, 1u, 4095u, 4096u, 4097u, 8192u, 12289u}) {
        SCOPED_TRACE(size);
        const std::string plain = patternBytes(size);
        writeEncrypted(work / "data.enc", plain);
        // A header, every full chunk, and a last chunk (empty when the size is a multiple of the chunk).
        EXPECT_EQ(std::filesystem::file_size(work / "data.enc"),
                  headerBytes + size + (size / streamChunkBytes + 1) * chunkOverhead);
        ASSERT_TRUE(gf_streamDecrypt(work / "data.enc", work / "data.xml"));
        EXPECT_EQ(readFileText(work / "data.xml"), plain);
    }
}

// Each damaged stream is refused with its cause in the log, and no plain file stays behind, not even one
// that was there before.
TEST(StreamDecryptTest, RefusesDamagedStreamsAndLeavesNoPlainFile) {
    WorkingFolder work;
    const std::string plain = patternBytes(9000); // chunks of 4096, 4096 and 808 bytes
    writeEncrypted(work / "good.enc", plain);
    const std::string good = readFileText(work / "good.enc");
    const std::size_t fullChunk = streamChunkBytes + chunkOverhead;

    std::string tampered = good;
    tampered[headerBytes + fullChunk + 100] ^= 0x01;
    std::string trailing = good + "x";
    writeEncrypted(work / "wrongkey.enc", plain, test::otherKey());

    const struct {
        std::string name;
        std::string bytes;
        std::string cause;
    } cases[] = {
        {"empty", "", "too short for a stream header"},
        {"short header", good.substr(0, headerBytes - 1), "too short for a stream header"},
        {"header only", good.substr(0, headerBytes), "ends without the final chunk"},
        {"cut at a chunk boundary", good.substr(0, headerBytes + 2 * fullChunk),
         "ends without the final chunk"},
        {"cut inside the last chunk", good.substr(0, good.size() - 1), "chunk 3 does not authenticate"},
        {"tampered", tampered, "chunk 2 does not authenticate"},
        // A short last chunk cannot be told from its trailing bytes: both fail together.
        {"trailing byte", trailing, "chunk 3 does not authenticate"},
        {"wrong key", readFileText(work / "wrongkey.enc"), "chunk 1 does not authenticate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileText(work / "bad.enc", c.bytes);
        writeFileText(work / "bad.xml", "left over from before");
        EXPECT_FALSE(gf_streamDecrypt(work / "bad.enc", work / "bad.xml"));
        EXPECT_FALSE(std::filesystem::exists(work / "bad.xml"));
        EXPECT_NE(work.log().find("gf_streamDecrypt: " + (work / "bad.enc").string() + ": " + c.cause),
                  std::string::npos);
    }
}

// A full-size chunk with the final tag, followed by another chunk.
TEST(StreamDecryptTest, RefusesBytesAfterAFinalTag) {
    WorkingFolder work;
    ASSERT_GE(sodium_init(), 0);
    crypto_secretstream_xchacha20poly1305_state state;
    unsigned char header[headerBytes];
    crypto_secretstream_xchacha20poly1305_init_push(&state, header, dataFileKey.data());
    std::string stream(reinterpret_cast<char*>(header), headerBytes);
    std::vector<unsigned char> cipher(streamChunkBytes + chunkOverhead);
    for (const std::string& part : {patternBytes(streamChunkBytes), std::string("<a/>")}) {
        unsigned long long length = 0;
        crypto_secretstream_xchacha20poly1305_push(
            &state, cipher.data(), &length, reinterpret_cast<const unsigned char*>(part.data()), part.size(),
            nullptr, 0, crypto_secretstream_xchacha20poly1305_TAG_FINAL);
        stream.append(reinterpret_cast<char*>(cipher.data()), length);
    }
    writeFileText(work / "twice.enc", stream);
    EXPECT_FALSE(gf_streamDecrypt(work / "twice.enc", work / "twice.xml"));
    EXPECT_FALSE(std::filesystem::exists(work / "twice.xml"));
    EXPECT_NE(work.log().find("twice.enc: 21 bytes after the final chunk"), std::string::npos);
}

TEST(StreamDecryptTest, MissingFileIsReportedAndMemoryDecryptionWritesNoFile) {
    WorkingFolder work;
    EXPECT_FALSE(gf_streamDecrypt(work / "absent.enc", work / "absent.xml"));
    EXPECT_NE(work.log().find("absent.enc: cannot be opened"), std::string::npos);

    const std::string text(3 * streamChunkBytes + 100, 'x');
    writeEncrypted(work / "input" / "table.enc", text);
    {
        const DecryptingBuffer plain(work / "input" / "table.enc");
        std::size_t have = 0;
        for (std::size_t now; (now = plain.waitBeyond(have)) > have;)
            have = now;
        EXPECT_EQ(plain.waitForError(), "");
        EXPECT_EQ(std::string(plain.data(), have), text);
    }
    writeFileText(work / "input" / "table.enc", "garbage that is long enough for a header but not a stream");
    {
        const DecryptingBuffer plain(work / "input" / "table.enc");
        EXPECT_NE(plain.waitForError(), "");
        EXPECT_EQ(plain.waitBeyond(0), 0u);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work / "input"), {}), 1);
}

TEST(StreamDecryptTest, RemoveFileWarnLogsAFailedRemovalOnly) {
    WorkingFolder work;
    gf_removeFileWarn(work / "never-there.txt");
    writeFileText(work / "there.txt", "x");
    gf_removeFileWarn(work / "there.txt");
    EXPECT_FALSE(std::filesystem::exists(work / "there.txt"));
    EXPECT_EQ(work.log().find("Warning"), std::string::npos);

    std::filesystem::create_directories(work / "busy" / "inner"); // a folder that is not empty cannot go
    gf_removeFileWarn(work / "busy");
    EXPECT_TRUE(std::filesystem::exists(work / "busy"));
    EXPECT_NE(work.log().find("==> Warning: could not remove " + (work / "busy").string() + ", errorcode: "),
              std::string::npos);
}

TEST(StreamDecryptTest, EncryptorRefusesXmlThatIsNotWellFormed) {
    WorkingFolder work;
    writeFileText(work / "bad.xml", "<dbase><types></dbase>");
    const std::string error = gf_encryptXmlFile(work / "bad.xml", work / "bad.enc");
    EXPECT_NE(error.find("is not well-formed XML"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(work / "bad.enc"));

    writeFileText(work / "good.xml", "<dbase version=\"1\"/>");
    ASSERT_EQ(gf_encryptXmlFile(work / "good.xml", work / "good.enc"), "");
    ASSERT_TRUE(gf_streamDecrypt(work / "good.enc", work / "good.out"));
    EXPECT_EQ(readFileText(work / "good.out"), "<dbase version=\"1\"/>");
}

} // namespace
} // namespace kvr
