#pragma once
// A reader of the XML of the data files that hands over each element's start tag as it comes, while the
// rest of the text may still be arriving (see DecryptingBuffer). The data files are tens of thousands of
// flat records: a document tree would be built only to be copied, and could not start before the last
// byte is there.
//
// It checks well-formedness as far as the records need it: names, quoted attributes, the nesting of start
// and end tags, one document element. Comments, processing instructions (the XML declaration), CDATA
// sections and a document type declaration are skipped; text is ignored. Attribute values have their
// character and predefined entity references replaced and tabs and line ends turned into blanks. The text
// must be UTF-8 (a byte order mark is skipped).
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvr {

class DecryptingBuffer;

struct XmlAttribute {
    std::string_view name;
    std::string_view value;
};

// One start tag; the views are valid during the call only.
struct XmlElement {
    std::size_t depth = 0; // 0: the document element
    std::string_view name;
    const std::vector<XmlAttribute>* attributes = nullptr;
    std::size_t offset = 0; // of its '<' in the text

    // The value of the first attribute of that name; none when it is absent.
    std::optional<std::string_view> attribute(std::string_view attributeName) const;
    // Several attributes in one pass over the tag: each field gets the value of the first attribute of
    // its name, and stays as it was when there is none.
    void pickAttributes(
        std::initializer_list<std::pair<std::string_view, std::optional<std::string_view>*>> fields) const;
};

struct XmlFault {
    std::string description;
    std::size_t offset = 0;
};

// Reads the whole text, calling onElement for every start tag in document order. Returns the first fault
// of the text; nothing when it is a well-formed document.
std::optional<XmlFault> gf_scanXml(const DecryptingBuffer& text,
                                   const std::function<void(const XmlElement&)>& onElement);

} // namespace kvr
