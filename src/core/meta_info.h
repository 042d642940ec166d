#pragma once
#include <pugixml.hpp>

#include <string>

namespace kvr {

// The meta block at the head of the program's XML data files (stand files, learned files,
// LiveriesScanned.xml, registration codes):
//   <root><meta><info name="author" value="..."/> ... (author, version, date, copyright, sim)</meta>...
struct MetaInfo {
    std::string author;
    std::string version; // "major.minor.patch" of the program that wrote the file
    std::string date;    // UTC date of writing, yyyy-mm-dd
    std::string copyright;
    std::string sim;       // "2020", "2024" or "v56"
    bool found = false;    // the document holds the block with at least one row
    bool accepted = false; // the readers of the variant may use the file
};

// How strictly gf_readFileMetaInfo judges a block. Both need the block; a version row that is present
// must hold a version triple (digits, any character, digits, any character, digits).
enum class MetaVariant {
    standFile,   // stock, generated and handmade stand files: the version row may be missing
    learnedFile, // learned files: a version is required, because their options are kept only from
                 // a new enough writer
};

// A record for writing: author "Vantrel", the given version text, today's UTC date, the copyright row
// and the sim row of metaSimCode.
MetaInfo gf_makeMetaInfo(const std::string& versionText);

// Sets the sim row: kind 1 "2020", kind 2 "2024", kind 3 "v56"; any other kind empties it.
void gf_setSimKind(MetaInfo& meta, int simKind);

// Creates root when missing and puts root/meta with its five info rows first in root, replacing an
// earlier meta block. False when a node cannot be created.
bool gf_writeMetaInfo(pugi::xml_document& doc, const MetaInfo& meta);

// Reads root/meta/info (or meta at the top of a document without root). Rows with other names are
// ignored; missing rows stay empty.
MetaInfo gf_readFileMetaInfo(const pugi::xml_document& doc, MetaVariant variant = MetaVariant::standFile);

} // namespace kvr
