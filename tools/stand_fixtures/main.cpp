// vantrel-stand-fixtures: writes the stand files of the demo's download server.
//   vantrel-stand-fixtures DOWNLOADS_FOLDER
#include "tools/stand_fixtures/demo_airports.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vantrel-stand-fixtures DOWNLOADS_FOLDER\n";
        return 2;
    }
    try {
        kvr::fixtures::gf_writeDemoStandFiles(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "vantrel-stand-fixtures: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
