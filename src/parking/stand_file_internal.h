#pragma once
#include "parking/stand.h"
#include "parking/stand_file.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace kvr {

// Builds the document gf_writeApf saves; false when a node cannot be created.
bool lf_buildApfDocument(pugi::xml_document& doc, const ApfRecord& record, ApfWriteMode mode, int simKind);

// Creates the missing folders of the path and saves the document there. Empty when it was saved, else
// the system's reason why not.
std::string lf_saveApfDocument(pugi::xml_document& doc, const std::filesystem::path& path);

// Appends root/parameters and its rows; false when parameters cannot be appended.
bool lf_writeApfParameters(pugi::xml_node root, const ApfRecord& record, ApfWriteMode mode);

// Appends the stands of a document (root/parkpositions, or a top-level parkpositions) to standList; the
// parkpos elements that give no stand go to *refused as text when it is given. Throws UserErrorException
// 93 for a missing or empty id and 94 for a repeated one.
void lf_readParkpositions(const pugi::xml_document& doc, std::vector<std::string>* refused = nullptr);

// Appends one stand with its options to standList; false when it gives none. A stand at 0/0 is dropped;
// one whose id holds a comma or whose position, radius or heading is out of range or not a number is
// dropped with a log line; a heading is taken modulo 360 degrees; options without a weekday 1..7 or a
// usable half-hour set are left out.
bool lf_readParkpos(pugi::xml_node parkpos, const std::string& id, std::uint32_t fromStandFile);

// The element as one line of XML, as it is written back.
std::string lf_elementText(pugi::xml_node element);

// A stand radius in metres that the stand files keep: 0 to 10 km.
bool lf_isUsableRadius(double radiusMetres);

// Callsigns, airline and type of an opt element; never throws.
OptIdentity lf_readOptIdentity(pugi::xml_node opt);

} // namespace kvr
