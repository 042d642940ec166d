#include "core/xml_util.h"

#include "core/temporary_files.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>
#include <system_error>

namespace kvr {

namespace {

pugi::xml_node lf_parametersNode(const pugi::xml_document& doc) {
    pugi::xml_node parameters = doc.child("root").child("parameters");
    if (!parameters)
        parameters = doc.child("parameters");
    return parameters;
}

// What the C library says of the last failure; the streams keep no reason of their own.
std::string lf_errnoText() {
    const int code = errno;
    return code != 0 ? std::generic_category().message(code) : std::string("unknown error");
}

} // namespace

std::optional<std::string> gf_findParameterValue(const pugi::xml_document& doc, const std::string& name) {
    for (pugi::xml_node p : lf_parametersNode(doc).children("parameter"))
        if (name == p.attribute("name").value())
            return std::string(p.attribute("value").value());
    return std::nullopt;
}

std::optional<std::int32_t> gf_readParameterValue(const pugi::xml_document& doc, const std::string& name) {
    const auto text = gf_findParameterValue(doc, name);
    if (!text)
        return std::nullopt;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc() || end == text->data())
        return std::nullopt;
    return value;
}

std::optional<bool> lf_readBoolParameter(const pugi::xml_document& doc, const std::string& name) {
    for (pugi::xml_node p : lf_parametersNode(doc).children("parameter"))
        if (name == p.attribute("name").value())
            return p.attribute("value").as_bool();
    return std::nullopt;
}

bool lf_appendParameterElement(pugi::xml_node node, const std::string& name, const std::string& value) {
    pugi::xml_node p = node.append_child("parameter");
    if (!p)
        return false;
    return p.append_attribute("name").set_value(name.c_str()) &&
           p.append_attribute("value").set_value(value.c_str());
}

bool lf_appendBoolParameterElement(pugi::xml_node node, const std::string& name, bool value) {
    pugi::xml_node p = node.append_child("parameter");
    if (!p)
        return false;
    return p.append_attribute("name").set_value(name.c_str()) && p.append_attribute("value").set_value(value);
}

void lf_appendBoolAttribute(pugi::xml_node node, const char* name, bool value) {
    node.append_attribute(name).set_value(value);
}

void lf_appendStringAttribute(pugi::xml_node node, const char* name, const std::string& value) {
    node.append_attribute(name).set_value(value.c_str());
}

bool gf_replaceFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                              std::string* failure) {
    const auto fail = [failure](std::string reason) {
        if (failure)
            *failure = std::move(reason);
        return false;
    };
    const auto temporary = gf_temporaryPathBeside(path, TemporaryKind::save);
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return fail(lf_errnoText());
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            const std::string reason = lf_errnoText();
            out.close();
            std::error_code ec;
            std::filesystem::remove(temporary, ec);
            return fail(reason);
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        const std::string reason = ec.message();
        std::filesystem::remove(temporary, ec);
        return fail(reason);
    }
    return true;
}

bool gf_saveXml(pugi::xml_document& doc, const std::filesystem::path& path, std::string* failure) {
    pugi::xml_node declaration = doc.first_child();
    if (declaration.type() != pugi::node_declaration)
        declaration = doc.prepend_child(pugi::node_declaration);
    declaration.remove_attributes();
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    std::ostringstream text;
    doc.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    return gf_replaceFileAtomically(path, text.str(), failure);
}

} // namespace kvr
