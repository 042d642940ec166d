// parameters.xml: every setting read from the file (clamped, refused or taken), the file written back
// with every setting, and that file read again, which must give the same values.
#include "fuzz_support.h"
#include "settings/parameter.h"
#include "settings/parameters_file.h"
#include "support/file_text.h"

#include <pugixml.hpp>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

using namespace kvr;

std::vector<std::string> currentValues() {
    std::vector<std::string> values;
    for (Parameter* setting : gf_allParameters()) {
        values.push_back(setting->valueText());
        if (const auto* number = dynamic_cast<const NumParameter*>(setting))
            FUZZ_CHECK(number->value() >= number->minimum() && number->value() <= number->maximum());
        if (const auto* number = dynamic_cast<const FloatParameter*>(setting))
            FUZZ_CHECK(std::isfinite(number->value()) && number->value() >= number->minimum() &&
                       number->value() <= number->maximum());
    }
    return values;
}

void loadFromDefaults() {
    for (Parameter* setting : gf_allParameters())
        setting->resetToDefault();
    lf_loadParameters();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool ready = [] {
        setenv("XDG_CONFIG_HOME", fuzz::scratchFolder().c_str(), 1);
        gf_initAppDataFolder();
        return true;
    }();
    const std::string_view bytes = fuzz::asText(data, size);
    fuzz::writeInput(parametersFilePath, bytes);

    for (Parameter* setting : gf_allParameters())
        setting->resetToDefault();
    const std::vector<std::string> defaults = currentValues();

    loadFromDefaults();
    const std::vector<std::string> first = currentValues();
    pugi::xml_document given;
    if (!given.load_buffer(bytes.data(), bytes.size())) {
        // A file that does not parse is left as it was, and the defaults stay.
        FUZZ_CHECK(first == defaults);
        FUZZ_CHECK(test::readFileText(parametersFilePath) == bytes);
        return 0;
    }
    loadFromDefaults();
    FUZZ_CHECK(currentValues() == first);
    return 0;
}
