// BGL scenery files: one scan task (lf_processBGLfile) on the input as a file, under MSFS 2020 when the
// lowest bit of the first byte is set (as in the magic number that files start with, which the decoder does
// not read) and MSFS 2024 when it is clear. Every read of the
// decoder goes through a cursor bounded by its record; a refused read must be handled at its record and
// never leave the task, and a read outside the file is AddressSanitizer's finding. Each generated stand
// file is read back: every stand lies on the earth with a radius the decoder allows.
#include "core/shared_state.h"
#include "fuzz_support.h"
#include "parking/airport_scan.h"
#include "parking/bgl_reader_internal.h"
#include "parking/learned_file.h"
#include "refdata/airport_table.h"

#include <pugixml.hpp>

#include <cmath>
#include <exception>
#include <mutex>

namespace {

using namespace kvr;
namespace fs = std::filesystem;

void enterWorkingFolder() {
    [[maybe_unused]] static const bool entered = [] {
        fs::current_path(fuzz::scratchFolder());
        for (const char* code : {"EGLL", "EHAM"}) {
            airportTable.push_back(Airport{code, "", "", 0.0, 0.0, 0.0, 0});
            airportCodeSet.insert(code);
        }
        return true;
    }();
}

bool within(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

void checkGeneratedFile(const fs::path& file) {
    pugi::xml_document doc;
    FUZZ_CHECK(doc.load_file(file.c_str()));
    for (pugi::xml_node parkpos : doc.child("root").child("parkpositions").children("parkpos")) {
        FUZZ_CHECK(within(parkpos.attribute("latitude").as_double(NAN), -90.0, 90.0));
        FUZZ_CHECK(within(parkpos.attribute("longitude").as_double(NAN), -180.0, 180.0));
        FUZZ_CHECK(std::isfinite(parkpos.attribute("heading").as_double(NAN)));
        const double radius = parkpos.attribute("radius").as_double(NAN);
        // Parking radii lie between 1 and 200 m (written to a tenth); a helipad's is half its size.
        if (parkpos.attribute("heli").as_bool())
            FUZZ_CHECK(within(radius, 0.0, 1e39));
        else
            FUZZ_CHECK(within(radius, 1.0, 200.0));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    enterWorkingFolder();
    const fs::path file = fuzz::scratchFolder() / "scenery" / "airport.bgl";
    fuzz::writeInput(file, fuzz::asText(data, size));
    msfs2020Selected = size > 0 && (data[0] & 1) == 1;
    {
        std::lock_guard lock(scanMessageMutex);
        scanMessages.clear();
    }
    lf_hasAirportSection(file);
    try {
        lf_processBGLfile(file);
    } catch (const std::exception& error) {
        fuzz::failCheck(error.what(), __FILE__, __LINE__);
    }
    std::error_code ec;
    for (const fs::path& folder : {myThirdpartyDir, mySimaddonDir})
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec))
            checkGeneratedFile(entry.path());
    fs::remove_all(airportsDir, ec);
    return 0;
}
