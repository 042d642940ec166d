#include "refdata/xml_scanner.h"

#include "refdata/stream_decrypt.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <deque>

namespace kvr {

namespace {

constexpr std::size_t none = std::string_view::npos;

bool lf_isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Characters of an attribute value that are not taken as they are (or not allowed).
bool lf_needsDecoding(char c) {
    return c == '&' || c == '<' || c == '\t' || c == '\n' || c == '\r';
}

bool lf_isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool lf_isNameChar(char c) {
    return lf_isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

void lf_appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A reference at the start of the text ("&amp;", "&#233;", "&#xE9;"): appends what it stands for and
// gives its length; 0 when it is no reference (the '&' then stands for itself).
std::size_t lf_decodeReference(std::string_view text, std::string& out) {
    const auto semicolon = text.find(';');
    if (semicolon == none || semicolon < 2)
        return 0;
    const std::string_view body = text.substr(1, semicolon - 1);
    static constexpr std::pair<std::string_view, char> named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [name, c] : named)
        if (body == name) {
            out += c;
            return semicolon + 1;
        }
    if (body[0] != '#')
        return 0;
    const bool hex = body.size() > 1 && body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    std::uint32_t code = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || code == 0 ||
        code > 0x10FFFF)
        return 0;
    lf_appendUtf8(out, code);
    return semicolon + 1;
}

class Scanner {
public:
    Scanner(const DecryptingBuffer& text, const std::function<void(const XmlElement&)>& onElement)
        : text_(text), onElement_(onElement) {}

    std::optional<XmlFault> run() {
        if (have(3) && std::string_view(text_.data(), 3) == "\xEF\xBB\xBF")
            pos_ = 3;
        while (!fault_) {
            const std::size_t open = find(pos_, "<");
            if (open == none)
                break;
            pos_ = open;
            markup();
        }
        if (!fault_ && !open_.empty())
            setFault(fmt::format("element <{}> is not closed", open_.back()), available_);
        if (!fault_ && !rootSeen_)
            setFault("no document element", 0);
        return fault_;
    }

private:
    // Whether the text reaches `end`, waiting for it as needed.
    bool have(std::size_t end) {
        while (available_ < end) {
            const std::size_t now = text_.waitBeyond(available_);
            if (now == available_)
                return false;
            available_ = now;
        }
        return true;
    }

    // The position of `what` at or after `from`, waiting for the text as needed; none when it ends first.
    std::size_t find(std::size_t from, std::string_view what) {
        std::size_t searched = from;
        while (true) {
            if (available_ >= searched + what.size()) {
                const std::string_view region(text_.data() + searched, available_ - searched);
                if (const auto at = region.find(what); at != none)
                    return searched + at;
                searched = available_ - what.size() + 1;
            }
            if (!have(available_ + 1))
                return none;
        }
    }

    bool startsWith(std::size_t at, std::string_view what) {
        return have(at + what.size()) && std::string_view(text_.data() + at, what.size()) == what;
    }

    void setFault(std::string description, std::size_t offset) {
        if (!fault_)
            fault_ = XmlFault{std::move(description), offset};
    }

    // Moves past the closing text of a construct, or fails with the description.
    void skipPast(std::size_t from, std::string_view closing, const char* description) {
        const std::size_t end = find(from, closing);
        if (end == none)
            setFault(description, pos_);
        else
            pos_ = end + closing.size();
    }

    void markup() {
        if (!have(pos_ + 2)) {
            setFault("the text ends inside a tag", pos_);
            return;
        }
        const char next = text_.data()[pos_ + 1];
        if (next == '?')
            skipPast(pos_ + 2, "?>", "unterminated processing instruction");
        else if (startsWith(pos_, "<!--"))
            skipPast(pos_ + 4, "-->", "unterminated comment");
        else if (startsWith(pos_, "<![CDATA["))
            open_.empty() ? setFault("CDATA outside the document element", pos_)
                          : skipPast(pos_ + 9, "]]>", "unterminated CDATA section");
        else if (startsWith(pos_, "<!DOCTYPE"))
            doctype();
        else if (next == '!')
            setFault("unknown markup", pos_);
        else if (next == '/')
            endTag();
        else
            startTag();
    }

    // A declaration with an internal subset ("<!DOCTYPE x [ ... ]>") ends at the '>' after the ']'.
    void doctype() {
        const std::size_t close = find(pos_, ">");
        if (close == none) {
            setFault("unterminated document type declaration", pos_);
            return;
        }
        const std::string_view head(text_.data() + pos_, close - pos_);
        if (const auto subset = head.find('['); subset != none)
            skipPast(pos_ + subset, "]", "unterminated document type declaration");
        skipPast(pos_, ">", "unterminated document type declaration");
    }

    // The '>' that ends the tag at pos_, waiting for the text as needed; none after a fault.
    std::size_t tagEnd() {
        std::size_t i = pos_ + 1;
        char quote = 0;
        while (true) {
            for (const char* data = text_.data(); i < available_; ++i) {
                const char c = data[i];
                if (quote != 0) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    return i;
                } else if (c == '<') {
                    setFault("'<' inside a tag", i);
                    return none;
                }
            }
            if (!have(available_ + 1)) {
                setFault("the text ends inside a tag", pos_);
                return none;
            }
        }
    }

    // The name at `at` (within the tag that ends at `end`); empty when there is none.
    std::string_view name(std::size_t at, std::size_t end) const {
        const char* data = text_.data();
        if (at >= end || !lf_isNameStart(data[at]))
            return {};
        std::size_t stop = at + 1;
        while (stop < end && lf_isNameChar(data[stop]))
            ++stop;
        return {data + at, stop - at};
    }

    std::size_t skipBlanks(std::size_t at, std::size_t end) const {
        while (at < end && lf_isBlank(text_.data()[at]))
            ++at;
        return at;
    }

    void endTag() {
        const std::size_t end = tagEnd();
        if (end == none)
            return;
        const std::string_view closed = name(pos_ + 2, end);
        if (closed.empty() || skipBlanks(pos_ + 2 + closed.size(), end) != end) {
            setFault("bad end tag", pos_);
            return;
        }
        if (open_.empty() || open_.back() != closed) {
            setFault(open_.empty() ? fmt::format("end tag </{}> without a start tag", closed)
                                   : fmt::format("end tag </{}> does not close <{}>", closed, open_.back()),
                     pos_);
            return;
        }
        open_.pop_back();
        pos_ = end + 1;
    }

    void startTag() {
        // The decryption is nearly always ahead: the tag is read from what is there, and read again in the
        // rare case that it runs past the end of that.
        while (readStartTag()) {
            if (!have(available_ + 1)) {
                setFault("the text ends inside a tag", pos_);
                return;
            }
        }
    }

    // Reads the start tag at pos_ within the text there now; true when it runs past its end.
    bool readStartTag() {
        const char* data = text_.data();
        const std::size_t limit = available_;
        const std::string_view element = name(pos_ + 1, limit);
        if (pos_ + 1 + element.size() == limit)
            return true;
        if (element.empty()) {
            setFault("bad element name", pos_);
            return false;
        }
        if (rootSeen_ && open_.empty()) {
            setFault("a second document element", pos_);
            return false;
        }
        attributes_.clear();
        decoded_.clear();
        bool closed = false;
        std::size_t at = pos_ + 1 + element.size();
        while (true) {
            const std::size_t start = skipBlanks(at, limit);
            if (start == limit)
                return true;
            if (data[start] == '>') {
                at = start;
                break;
            }
            if (data[start] == '/') {
                if (start + 1 == limit)
                    return true;
                closed = data[start + 1] == '>';
                if (!closed) {
                    setFault("'/' inside a tag", start);
                    return false;
                }
                at = start + 1;
                break;
            }
            const std::string_view attributeName = name(start, limit);
            if (start + attributeName.size() == limit)
                return true;
            if (start == at || attributeName.empty()) {
                setFault(start == at ? "attributes must be separated by blanks" : "bad attribute", start);
                return false;
            }
            std::size_t p = skipBlanks(start + attributeName.size(), limit);
            if (p == limit)
                return true;
            if (data[p] != '=') {
                setFault("bad attribute", start);
                return false;
            }
            p = skipBlanks(p + 1, limit);
            if (p == limit)
                return true;
            const char quote = data[p];
            if (quote != '"' && quote != '\'') {
                setFault("attribute value without quotes", p);
                return false;
            }
            const void* close = std::memchr(data + p + 1, quote, limit - p - 1);
            if (close == nullptr)
                return true;
            const std::string_view raw(data + p + 1, static_cast<const char*>(close) - (data + p + 1));
            if (std::none_of(raw.begin(), raw.end(), lf_needsDecoding)) {
                attributes_.push_back({attributeName, raw});
            } else if (raw.find('<') != none) {
                setFault("'<' in an attribute value", p);
                return false;
            } else {
                attributes_.push_back({attributeName, decode(raw)});
            }
            at = p + 1 + raw.size() + 1;
        }
        rootSeen_ = true;
        onElement_(XmlElement{open_.size(), element, &attributes_, pos_});
        if (!closed)
            open_.push_back(element);
        pos_ = at + 1;
        return false;
    }

    std::string_view decode(std::string_view raw) {
        std::string& out = decoded_.emplace_back();
        for (std::size_t i = 0; i < raw.size();) {
            const char c = raw[i];
            if (c == '&') {
                if (const std::size_t length = lf_decodeReference(raw.substr(i), out)) {
                    i += length;
                    continue;
                }
            }
            out += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
            ++i;
        }
        return out;
    }

    const DecryptingBuffer& text_;
    const std::function<void(const XmlElement&)>& onElement_;
    std::size_t available_ = 0;
    std::size_t pos_ = 0;
    std::vector<std::string_view> open_;
    std::vector<XmlAttribute> attributes_;
    std::deque<std::string> decoded_; // values with references; a deque keeps them in place
    bool rootSeen_ = false;
    std::optional<XmlFault> fault_;
};

} // namespace

std::optional<std::string_view> XmlElement::attribute(std::string_view attributeName) const {
    for (const XmlAttribute& a : *attributes)
        if (a.name == attributeName)
            return a.value;
    return std::nullopt;
}

void XmlElement::pickAttributes(
    std::initializer_list<std::pair<std::string_view, std::optional<std::string_view>*>> fields) const {
    for (const XmlAttribute& a : *attributes)
        for (const auto& [fieldName, field] : fields)
            if (a.name == fieldName) {
                if (!*field)
                    *field = a.value;
                break;
            }
}

std::optional<XmlFault> gf_scanXml(const DecryptingBuffer& text,
                                   const std::function<void(const XmlElement&)>& onElement) {
    return Scanner(text, onElement).run();
}

} // namespace kvr
