#pragma once
// Where an airport's stand file is: a link file, a local file, or a stock file on the download server.
#include <string>

namespace kvr {

// The stand-file path of an airport: a local path beginning with "airports", or a path on the download
// server (for example archive/stock/EHAM.xml); empty when the airport has none. First hit wins:
// my_thirdparty link file, my_thirdparty file, my_simaddon link file, my_simaddon file, stock file.
std::string gf_findArchivedStockApf(const std::string& code);

// Whether any stand file exists for the airport (a link file only needs to exist).
bool gf_airportFileExists(const std::string& code);

std::string gf_xmlFileName(const std::string& code); // code + ".xml"
std::string gf_txtFileName(const std::string& code); // code + ".txt"

} // namespace kvr
