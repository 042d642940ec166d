// vantrel-encrypt: turns a reference-data XML file into the encrypted form the program reads.
//   vantrel-encrypt <input.xml> <output.enc>
#include "tools/data_encryptor/stream_encryptor.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: vantrel-encrypt <input.xml> <output.enc>\n";
        return 2;
    }
    const std::string error = kvr::gf_encryptXmlFile(argv[1], argv[2]);
    if (!error.empty()) {
        std::cerr << "vantrel-encrypt: " << error << "\n";
        return 1;
    }
    return 0;
}
