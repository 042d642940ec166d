#pragma once
#include "parking/learned_file.h"
#include "parking/stand.h"

#include <pugixml.hpp>

#include <string>

namespace kvr {

// Reads a learned file into standList, handmadeApf and the per-airport settings, or the content kept
// for it when its last saving failed. Never throws: a failure is logged and ends the reading where it
// was. What the saving must keep (a copy still owed, parkpos elements that gave no stand) goes to info.
void lf_readLearned(const std::filesystem::path& path, ParkAirportFileInfo& info);

// The newest content of a learned file whose saving failed, kept until a saving succeeds.
struct UnsavedLearnedFile {
    std::filesystem::path path;
    pugi::xml_document document;
    bool copyOwed = false; // the file on disk is still to be copied aside before it is written over
};

// The kept content for the path; none when its last saving succeeded.
const UnsavedLearnedFile* lf_findUnsavedLearnedFile(const std::filesystem::path& path);

// Forgets every kept content without saving it: a fresh start of the program's state.
void lf_discardUnsavedLearnedFiles();

// Merges one learned parkpos into the stand when the ids are equal; true when it did. The options of a
// file written before 11.10.0 (older) are dropped, and so is an option the stand already knows: same
// day, kind, registration, airline and type, and at least one common half-hour slot.
bool lf_mergeLearnedParkpos(const std::string& id, pugi::xml_node parkpos, bool older, Stand& stand);

// The current values of the nine per-airport settings.
AirportParameterSnapshot lf_currentAirportParameters();

} // namespace kvr

namespace kvr {

// Applies the per-airport settings a learned file carries (values and controls, not saved) and logs them.
void lf_applyLearnedParameters(const pugi::xml_document& doc);

} // namespace kvr
