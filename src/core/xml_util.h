#pragma once
#include <pugixml.hpp>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kvr {

// root/parameters/parameter[@name] lookups, as used by parameters.xml and the stand files.
std::optional<std::string> gf_findParameterValue(const pugi::xml_document& doc, const std::string& name);
std::optional<std::int32_t> gf_readParameterValue(const pugi::xml_document& doc, const std::string& name);
std::optional<bool> lf_readBoolParameter(const pugi::xml_document& doc, const std::string& name);

bool lf_appendParameterElement(pugi::xml_node node, const std::string& name, const std::string& value);
bool lf_appendBoolParameterElement(pugi::xml_node node, const std::string& name, bool value);
void lf_appendBoolAttribute(pugi::xml_node node, const char* name, bool value);
void lf_appendStringAttribute(pugi::xml_node node, const char* name, const std::string& value);

// Sets the declaration (version 1.0, UTF-8) and saves with an indentation of two blanks. The document
// goes to a temporary file in the same folder that is then renamed over the target, so a crash never
// leaves half a file. False when writing or renaming failed, with the system's reason in *failure when
// given.
bool gf_saveXml(pugi::xml_document& doc, const std::filesystem::path& path, std::string* failure = nullptr);

// Writes bytes to a temporary file beside path and renames it into place; false on failure, with the
// system's reason in *failure when given.
bool gf_replaceFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                              std::string* failure = nullptr);

} // namespace kvr
