#include "livery_fixtures/demo_packages.h"

#include <fmt/format.h>

#include <map>
#include <sstream>

namespace kvr::fixtures {

namespace fs = std::filesystem;

namespace {

// One fleet of the demo: the liveries of an airline's type in one package, one livery per registration
// (a single livery without registration when the list is empty). The registrations are real ones of
// these fleets.
struct DemoFleetRow {
    PackageKind package;
    const char* airline;
    const char* type;
    bool cargo;
    const char* registrations; // separated by blanks
    const char* titleSuffix;   // appended to the first livery's title (names with accents)
};

constexpr PackageKind aig = PackageKind::aig;
constexpr PackageKind fsltl = PackageKind::fsltl;
constexpr PackageKind jf = PackageKind::justFlight;
constexpr PackageKind mtl = PackageKind::ivaoMtl;
constexpr PackageKind user = PackageKind::user;

const DemoFleetRow demoRows[] = {
    {aig, "KLM", "B738", false, "PH-BXA PH-BXB PH-BXC", ""},
    {aig, "KLM", "B739", false, "PH-BXO PH-BXP", ""},
    {aig, "KLM", "B772", false, "PH-BQA PH-BQB", ""},
    {aig, "KLM", "B77W", false, "PH-BVA PH-BVB", ""},
    {aig, "KLM", "B789", false, "PH-BHA PH-BHC", ""},
    {aig, "KLM", "B78X", false, "PH-BKA PH-BKB", ""},
    {aig, "KLM", "A332", false, "PH-AOA PH-AOB", ""},
    {aig, "KLM", "A333", false, "PH-AKA PH-AKB", ""},
    {aig, "KLC", "E175", false, "PH-EXA PH-EXB", ""},
    {aig, "KLC", "E190", false, "PH-EZA PH-EZB", ""},
    {aig, "KLC", "E295", false, "PH-NXA PH-NXB", ""},
    {aig, "EZY", "A319", false, "G-EZAA G-EZAB", ""},
    {aig, "EZY", "A320", false, "G-EZOA G-EZOB", ""},
    {aig, "EZY", "A20N", false, "G-UZHA G-UZHB", ""},
    {aig, "BAW", "A319", false, "G-EUOA G-EUOB", ""},
    {aig, "BAW", "A320", false, "G-EUUA G-EUUB", ""},
    {aig, "BAW", "A20N", false, "G-TTNA G-TTNB", ""},
    {aig, "DLH", "A320", false, "D-AIZA D-AIZB", ""},
    {aig, "DLH", "A321", false, "D-AIDA D-AIDB", " Köln"},
    {aig, "DLH", "A20N", false, "D-AINA D-AINB", ""},
    {aig, "AFR", "A318", false, "F-GUGA F-GUGB", ""},
    {aig, "AFR", "A319", false, "F-GRHA F-GRHB", ""},
    {aig, "AFR", "A320", false, "F-GKXA F-GKXB", " Île-de-France"},
    {aig, "AFR", "A20N", false, "", ""},
    {aig, "DAL", "A333", false, "N801NW N802NW", ""},
    {aig, "DAL", "B764", false, "N825MH N826MH", ""},
    {aig, "UAL", "B772", false, "N766UA N767UA", ""},
    {aig, "UAL", "B763", false, "N641UA N642UA", ""},
    {aig, "QTR", "A359", false, "A7-ALA A7-ALB", ""},
    {aig, "QTR", "B77W", false, "A7-BAA A7-BAB", ""},
    {aig, "UAE", "A388", false, "A6-EDA A6-EDB", ""},
    {aig, "UAE", "B77W", false, "A6-ECA A6-ECB", ""},
    {aig, "THY", "A321", false, "TC-JRA TC-JRB", ""},
    {aig, "THY", "B738", false, "TC-JFC TC-JFD", ""},
    {aig, "SWR", "BCS3", false, "HB-JCA HB-JCB", ""},
    {aig, "SWR", "A320", false, "HB-IJB HB-IJD", " Zürich"},
    {aig, "AUA", "A320", false, "OE-LBI OE-LBJ", ""},
    {aig, "AUA", "E195", false, "OE-LWA OE-LWB", ""},
    {aig, "SAS", "A320", false, "OY-KAM OY-KAN", ""},
    {aig, "SAS", "A20N", false, "SE-ROA SE-ROB", ""},
    {fsltl, "TRA", "B738", false, "PH-HSA PH-HSB PH-HSC", ""},
    {fsltl, "TRA", "B38M", false, "", ""},
    {fsltl, "CND", "B738", false, "PH-CDE PH-CDF", ""},
    {jf, "MPH", "B744", true, "PH-MPP PH-MPQ", ""},
    {jf, "CLX", "B744", true, "LX-ECV LX-FCV", ""},
    {jf, "CLX", "B748", true, "LX-VCA LX-VCB", " Cité de Luxembourg"},
    {jf, "FDX", "MD11", true, "N572FE N573FE", ""},
    {jf, "FDX", "B77L", true, "N850FD N851FD", ""},
    {mtl, "RYR", "B738", false, "EI-DAC EI-DAD", ""},
    {mtl, "TFL", "B738", false, "PH-TFA PH-TFB", ""},
    {mtl, "TFL", "B788", false, "PH-TFK PH-TFL", ""},
    {mtl, "VLG", "A320", false, "EC-LLE EC-LML", ""},
    {mtl, "IBE", "A320", false, "EC-HUH EC-HYD", ""},
    {mtl, "IBE", "A321", false, "EC-IJN EC-ILO", ""},
    {user, "", "C172", false, "PH-GAA PH-GAB", ""},
    {user, "", "PA28", false, "PH-GAC PH-GAD", ""},
    {user, "", "DA40", false, "PH-GAE PH-GAF", ""},
    {user, "", "C56X", false, "PH-BZA PH-BZB", ""},
    {user, "", "E55P", false, "PH-BZC PH-BZD", ""},
    {user, "", "GLF6", false, "PH-BZE PH-BZF", ""},
    {user, "", "EC35", false, "PH-HLA PH-HLB", ""},
};

// The IVAO MTL model folders; two carry the winglet mark that their titles repeat after the type.
std::string lf_ivaoModelFolder(const std::string& airline, const std::string& type) {
    if (type == "B738")
        return "IVAO_B738WLfa";
    if (type == "A320" && airline == "VLG")
        return "IVAO_A320wCFM";
    return "IVAO_" + type;
}

bool lf_hasWingletMark(const std::string& modelFolder) {
    return modelFolder == "IVAO_B738WLfa" || modelFolder == "IVAO_A320wCFM";
}

std::string lf_modelFolder(const FleetLivery& livery) {
    switch (livery.package) {
    case PackageKind::aig:
        return "AIG_" + livery.type;
    case PackageKind::fsltl:
        return "FSLTL_" + livery.type;
    case PackageKind::justFlight:
        return "JF_" + livery.type;
    case PackageKind::ivaoMtl:
        return lf_ivaoModelFolder(livery.airline, livery.type);
    case PackageKind::user:
        return "USER_" + livery.type;
    }
    return livery.type;
}

std::string lf_title(PackageKind package, const std::string& airline, const std::string& type,
                     const std::string& registration, const std::string& modelFolder) {
    const std::string tail = registration.empty() ? "" : " " + registration;
    switch (package) {
    case PackageKind::aig:
        return fmt::format("AIG {} {}{}", type, airline, tail);
    case PackageKind::fsltl:
        return fmt::format("FSLTL {} {}{}", type, airline, tail);
    case PackageKind::justFlight:
        return fmt::format("JF {} {}{}", type, airline, tail);
    case PackageKind::ivaoMtl:
        // The airline code follows the type in IVAO titles; the scan reads it from there.
        return fmt::format("{}{} {}{}", type, lf_hasWingletMark(modelFolder) ? "W" : "", airline, tail);
    case PackageKind::user:
        return fmt::format("{}{}", type, tail);
    }
    return type + tail;
}

struct PackageStyle {
    CfgEncoding encoding;
    LineEnd lineEnd;
};

PackageStyle lf_packageStyle(PackageKind kind) {
    switch (kind) {
    case PackageKind::aig:
        return {CfgEncoding::utf8, LineEnd::crlf};
    case PackageKind::fsltl:
        return {CfgEncoding::utf16Le, LineEnd::crlf};
    case PackageKind::justFlight:
        return {CfgEncoding::ansi, LineEnd::lf};
    case PackageKind::ivaoMtl:
        return {CfgEncoding::utf8Bom, LineEnd::lf};
    case PackageKind::user:
        return {CfgEncoding::utf16Be, LineEnd::lf};
    }
    return {CfgEncoding::utf8, LineEnd::lf};
}

std::vector<FleetLivery> lf_buildDemoFleet() {
    std::vector<FleetLivery> fleet;
    for (const DemoFleetRow& row : demoRows) {
        std::vector<std::string> registrations;
        std::istringstream words(row.registrations);
        for (std::string word; words >> word;)
            registrations.push_back(word);
        if (registrations.empty())
            registrations.emplace_back();
        bool first = true;
        for (const std::string& registration : registrations) {
            FleetLivery livery{row.package, row.airline, row.type, registration, row.cargo, {}};
            livery.title = lf_title(row.package, row.airline, row.type, registration, lf_modelFolder(livery));
            if (first)
                livery.title += row.titleSuffix;
            first = false;
            fleet.push_back(std::move(livery));
        }
    }
    // A livery in plain house colours that fits any airline without one of its own.
    fleet.push_back(FleetLivery{PackageKind::aig, "ZZZ", "B738", "", false, "AIG B738 House Colours"});
    return fleet;
}

FltsimSection lf_section(const FleetLivery& livery, std::size_t index) {
    FltsimSection section;
    section.title = livery.title;
    section.atcId = livery.registration;
    section.parkingTypes = livery.cargo ? "CARGO" : livery.airline.empty() ? "RAMP" : "GATE,RAMP";
    if (livery.package == PackageKind::ivaoMtl) {
        section.texture = fmt::format("{}_{}", livery.airline, index);
    } else {
        section.texture = fmt::format("{}{}", livery.airline.empty() ? "PVT" : livery.airline, index);
        // General aviation names no airline at all.
        if (livery.airline != "ZZZ")
            section.airline = livery.airline;
    }
    section.extraLines = {"ui_manufacturer = \"Demo\"", fmt::format("ui_variation = \"{}\"", livery.title)};
    // An empty airline stands for the house colours.
    if (livery.airline == "ZZZ")
        section.extraLines.emplace_back("icao_airline = \"\"");
    return section;
}

} // namespace

std::string packageFolderName(PackageKind kind) {
    switch (kind) {
    case PackageKind::aig:
        return "aig-aitraffic-oci";
    case PackageKind::fsltl:
        return "fsltl-traffic-base";
    case PackageKind::justFlight:
        return "justflight-aircraft-traffic-fleet";
    case PackageKind::ivaoMtl:
        return "IVAO_MTL";
    case PackageKind::user:
        return "user-aitraffic";
    }
    return "unknown";
}

const std::vector<FleetLivery>& demoFleet() {
    static const std::vector<FleetLivery> fleet = lf_buildDemoFleet();
    return fleet;
}

PackageSetSummary writeDemoCommunity(const fs::path& community) {
    // Model folder -> its aircraft.cfg, in fleet order.
    std::map<fs::path, AircraftCfg> files;
    std::map<fs::path, PackageKind> packages;
    PackageSetSummary summary;
    for (const FleetLivery& livery : demoFleet()) {
        const fs::path folder = community / packageFolderName(livery.package) / "SimObjects" / "Airplanes" /
                                lf_modelFolder(livery);
        AircraftCfg& cfg = files[folder];
        // IVAO MTL files carry no type: the scan takes it from the folder name.
        if (livery.package != PackageKind::ivaoMtl)
            cfg.icaoType = livery.type;
        const FltsimSection section = lf_section(livery, cfg.sections.size());
        if (livery.package == PackageKind::ivaoMtl)
            fs::create_directories(folder / ("texture." + section.texture));
        cfg.sections.push_back(section);
        packages[folder] = livery.package;
        ++summary.liveries;
    }
    for (const auto& [folder, cfg] : files) {
        const PackageStyle style = lf_packageStyle(packages.at(folder));
        writeCfgFile(folder / "aircraft.cfg", aircraftCfgText(cfg), style.encoding, style.lineEnd);
        ++summary.files;
    }
    for (PackageKind kind : allPackageKinds)
        writeBytes(
            community / packageFolderName(kind) / "manifest.json",
            fmt::format(
                "{{\n  \"title\": \"{}\",\n  \"content_type\": \"AIRCRAFT\",\n  \"creator\": \"Vantrel "
                "fixtures\"\n}}\n",
                packageFolderName(kind)));
    return summary;
}

} // namespace kvr::fixtures
