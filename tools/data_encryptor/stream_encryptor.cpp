#include "tools/data_encryptor/stream_encryptor.h"

#include "core/file_util.h"
#include "core/xml_util.h"
#include "refdata/stream_decrypt.h"

#include <fmt/format.h>
#include <pugixml.hpp>
#include <sodium.h>

#include <algorithm>

namespace kvr {

std::string gf_encryptBytes(std::string_view plain, const std::filesystem::path& encryptedFile,
                            const DataKey& key) {
    if (sodium_init() < 0)
        return "libsodium could not be initialised";
    crypto_secretstream_xchacha20poly1305_state state;
    unsigned char header[crypto_secretstream_xchacha20poly1305_HEADERBYTES];
    crypto_secretstream_xchacha20poly1305_init_push(&state, header, key.data());

    std::string out(reinterpret_cast<const char*>(header), sizeof header);
    out.reserve(sizeof header + plain.size() +
                (plain.size() / streamChunkBytes + 1) * crypto_secretstream_xchacha20poly1305_ABYTES);
    unsigned char cipher[streamChunkBytes + crypto_secretstream_xchacha20poly1305_ABYTES];
    std::size_t offset = 0;
    // An exact multiple of the chunk size still ends with a chunk of its own: the empty final one.
    for (bool last = false; !last;) {
        const std::size_t length = std::min(streamChunkBytes, plain.size() - offset);
        last = offset + length == plain.size() && length < streamChunkBytes;
        unsigned long long cipherLength = 0;
        crypto_secretstream_xchacha20poly1305_push(
            &state, cipher, &cipherLength, reinterpret_cast<const unsigned char*>(plain.data()) + offset,
            length, nullptr, 0, last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : 0);
        out.append(reinterpret_cast<const char*>(cipher), cipherLength);
        offset += length;
    }
    if (!gf_replaceFileAtomically(encryptedFile, out))
        return fmt::format("{} could not be written", encryptedFile.string());
    return {};
}

std::string gf_encryptXmlFile(const std::filesystem::path& xmlFile,
                              const std::filesystem::path& encryptedFile, const DataKey& key) {
    const auto bytes = gf_readFileBytes(xmlFile);
    if (!bytes)
        return fmt::format("{} could not be opened", xmlFile.string());
    const std::string& text = *bytes;

    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
    if (!parsed)
        return fmt::format("{} is not well-formed XML: {} at offset {}", xmlFile.string(),
                           parsed.description(), parsed.offset);
    return gf_encryptBytes(text, encryptedFile, key);
}

} // namespace kvr
