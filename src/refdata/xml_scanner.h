#pragma once
// The elements of a data file's XML, handed over start tag by start tag while the rest of the text may
// still be arriving (see DecryptingBuffer). The data files are tens of thousands of flat records: a
// document tree would be built only to be copied, and could not start before the last byte is there.
//
// The text is read by expat, so what passes is well-formed XML 1.0 as that library reads it: the
// encoding its declaration or byte order mark names (UTF-8, UTF-16, ISO-8859-1, US-ASCII), entities of an
// internal document type declaration, attribute values normalised (references replaced, tabs and line
// ends turned into blanks). Names and values reach the callers as UTF-8. External entities are never read.
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kvr {

class DecryptingBuffer;

// One start tag; the views are valid during the call only.
struct XmlElement {
    std::size_t depth = 0; // 0: the document element
    std::string_view name;
    // Name and value of each attribute in turn, then a null pointer, as the parser hands them over.
    const char* const* attributes = nullptr;
    std::size_t offset = 0; // of its '<' in the text

    // The value of the attribute of that name; none when it is absent.
    std::optional<std::string_view> attribute(std::string_view attributeName) const;
    // Several attributes in one pass over the tag: each field gets the value of the attribute of its name,
    // and stays as it was when there is none.
    void pickAttributes(
        std::initializer_list<std::pair<std::string_view, std::optional<std::string_view>*>> fields) const;
};

struct XmlFault {
    std::string description;
    std::size_t line = 0;   // from 1
    std::size_t column = 0; // from 1
};

// Reads the whole text, calling onElement for every start tag in document order, and stops at the first
// fault of the text, which it returns; nothing when it is a well-formed document. What onElement throws
// ends the reading and is thrown on.
std::optional<XmlFault> gf_scanXml(const DecryptingBuffer& text,
                                   const std::function<void(const XmlElement&)>& onElement);

} // namespace kvr
