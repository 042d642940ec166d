#pragma once
#include "parking/stand.h"
#include "parking/stand_file.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>

namespace kvr {

// Appends root/parameters and its rows; false when parameters cannot be appended.
bool lf_writeApfParameters(pugi::xml_node root, const ApfRecord& record, ApfWriteMode mode);

// Appends the stands of a document (root/parkpositions, or a top-level parkpositions) to standList.
// Throws UserErrorException 93 for a missing or empty id and 94 for a repeated one.
void lf_readParkpositions(const pugi::xml_document& doc);

// Appends one stand with its options to standList. A stand at 0/0 is dropped; one whose id holds a comma
// or whose position, heading or radius is out of range is dropped with a log line; options without a
// weekday 1..7 or a usable half-hour set are left out.
void lf_readParkpos(pugi::xml_node parkpos, const std::string& id, std::uint32_t fromStandFile);

// A stand radius in metres that the stand files keep: 0 to 10 km.
bool lf_isUsableRadius(double radiusMetres);

// Callsigns, airline and type of an opt element; never throws.
OptIdentity lf_readOptIdentity(pugi::xml_node opt);

} // namespace kvr
