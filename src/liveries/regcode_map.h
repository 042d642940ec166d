#pragma once
// The registration-code map: which livery belongs to one particular airframe. Filled from the
// catalogue's atcid attributes first, then from the AIG registration-code document and last from the
// user's my_regcodes files; a later source replaces what an earlier one said about the same code.
#include "liveries/livery_database.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {

// One definition of a registration-code file.
struct RegcodeRecord {
    std::string title;                 // livery title exactly as written
    std::vector<std::string> regcodes; // in the order of the source; none: a don't-use title
    bool special = false;              // random picks keep away from special liveries
};

// registration code -> title view of its livery.
extern StringMap<TitleView> regcodeLiveries;
// The codes of special records that name exactly one code; a match on one of them is matching step 0.
extern std::set<std::string, std::less<>> specialRegcodes;
// The title of every special record, one entry per record.
extern std::vector<TitleView> specialLiveries;
// What the merges report; written to OfflineRegcodes.txt by the offline registration-code pass.
extern std::vector<std::string> regcodeReportLines;

// Whether the title is one of specialLiveries (a hash lookup, for the random picks).
bool gf_isSpecialLivery(TitleView title);

// Maps the atcid of every catalogue record in scannedLiveries to its title; the first livery in
// catalogue order keeps a code, clashes go to output/errors/InlineRegcodes.txt.
void lf_processInlineRegcodes();

// Merges the records of one registration-code source into the map. Records whose title is not
// installed are skipped silently.
void lf_addRegcodes(const std::vector<RegcodeRecord>& records);

// Empties the map, specialRegcodes and specialLiveries (part of gf_clearLiveryDatabase).
void gf_clearRegcodeMap();

} // namespace kvr
