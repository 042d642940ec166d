#include "refdata/xml_scanner.h"

#include "refdata/stream_decrypt.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <memory>
#include <new>

namespace kvr {

namespace {

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserPtr = std::unique_ptr<XML_ParserStruct, ParserFree>;

// What the parser's callbacks share with the reading.
struct ScanState {
    XML_Parser parser;
    const std::function<void(const XmlElement&)>& onElement;
    std::size_t depth = 0;
    // An exception must not unwind through the parser's C frames: it is kept and thrown once the parser
    // has returned.
    std::exception_ptr failure;
};

void XMLCALL lf_startElement(void* userData, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<ScanState*>(userData);
    try {
        const auto offset = static_cast<std::size_t>(XML_GetCurrentByteIndex(state.parser));
        state.onElement(XmlElement{state.depth, name, attributes, offset});
    } catch (...) {
        state.failure = std::current_exception();
        XML_StopParser(state.parser, XML_FALSE);
    }
    ++state.depth;
}

void XMLCALL lf_endElement(void* userData, const XML_Char*) {
    --static_cast<ScanState*>(userData)->depth;
}

// Whether the parser's name is that name. Most names differ from the one sought in their first bytes: this
// stops there instead of measuring the whole name first.
bool lf_isName(const char* parserName, std::string_view name) {
    for (const char c : name)
        if (*parserName++ != c)
            return false;
    return *parserName == '\0';
}

} // namespace

std::optional<std::string_view> XmlElement::attribute(std::string_view attributeName) const {
    for (const char* const* a = attributes; *a != nullptr; a += 2)
        if (lf_isName(*a, attributeName))
            return a[1];
    return std::nullopt;
}

void XmlElement::pickAttributes(
    std::initializer_list<std::pair<std::string_view, std::optional<std::string_view>*>> fields) const {
    for (const char* const* a = attributes; *a != nullptr; a += 2)
        for (const auto& [fieldName, field] : fields)
            if (lf_isName(*a, fieldName)) {
                *field = a[1];
                break;
            }
}

std::optional<XmlFault> gf_scanXml(const DecryptingBuffer& text,
                                   const std::function<void(const XmlElement&)>& onElement) {
    const ParserPtr parser(XML_ParserCreate(nullptr));
    if (!parser)
        throw std::bad_alloc();
    ScanState state{parser.get(), onElement};
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), lf_startElement, lf_endElement);

    // The parser takes each piece as soon as it is decrypted, and then all that came while it worked, so
    // that reading and decryption overlap; the last call (no new bytes) tells it the text has ended.
    for (std::size_t fed = 0;;) {
        const std::size_t length = std::min<std::size_t>(text.waitBeyond(fed) - fed, INT_MAX);
        const bool ended = length == 0;
        if (XML_Parse(parser.get(), text.data() + fed, static_cast<int>(length), ended) != XML_STATUS_OK) {
            if (state.failure)
                std::rethrow_exception(state.failure);
            return XmlFault{XML_ErrorString(XML_GetErrorCode(parser.get())),
                            static_cast<std::size_t>(XML_GetCurrentLineNumber(parser.get())),
                            static_cast<std::size_t>(XML_GetCurrentColumnNumber(parser.get())) + 1};
        }
        if (ended)
            return std::nullopt;
        fed += length;
    }
}

} // namespace kvr
