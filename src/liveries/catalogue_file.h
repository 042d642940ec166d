#pragma once
// The livery catalogue LiveriesScanned.xml:
//   <root>
//     <meta> ... </meta>
//     <liveries>
//       <liv airl="KLM" type="B738" title="..." atcid="PH-BXA"/>
//       <liv airl="MPH" type="B744" cargo="true" title="..."/>
//     </liveries>
//   </root>

namespace kvr {

// Writes scannedLiveries, in list order, to the catalogue through a temporary file that replaces the old
// one. An empty list writes nothing, so that a scan that found nothing never wipes a good catalogue.
void lf_writeLiveriesScanned();

// Replaces scannedLiveries by the records of the catalogue, sorted by airl, type and title.
// Throws UserErrorException 51 (not loadable), 52 (no <liveries>), 999 (a required attribute is missing)
// and 533 (no livery at all).
void lf_readLiveriesScanned();

} // namespace kvr
