#pragma once
// The livery catalogue LiveriesScanned.xml:
//   <root>
//     <meta> ... </meta>
//     <liveries>
//       <liv airl="KLM" type="B738" title="..." atcid="PH-BXA"/>
//       <liv airl="MPH" type="B744" cargo="true" title="..."/>
//     </liveries>
//   </root>

#include <optional>
#include <string>

namespace kvr {

// Writes scannedLiveries, in list order, to the catalogue through a temporary file that replaces the old
// one. An empty list writes nothing, so that a scan that found nothing never wipes a good catalogue.
// False, with the system's reason in the log, when the catalogue could not be replaced (a read-only or
// locked file, a full disk): the old one, if any, stays as it was. A stop request gives up the writing
// (false, nothing written or logged).
bool lf_writeLiveriesScanned();

// Replaces scannedLiveries by the records of the catalogue, sorted by airl, type and title.
// Throws UserErrorException 51 (not loadable), 52 (no <liveries>), 999 (a required attribute is missing)
// and 533 (no livery at all).
void lf_readLiveriesScanned();

// What keeps the catalogue from loading at all ("not found", "is not a file", "is empty", "cannot be read
// (...)"); none when it loads. Such a catalogue is scanned anew rather than stopping every start with user
// error 51.
std::optional<std::string> gf_catalogueUnreadable();

} // namespace kvr
