// vantrel-fuzz-seeds <corpus folder>: writes the seed corpus of every fuzz target, small valid and invalid
// examples built with the project's fixture writers or written out here. The files are named seed-*;
// regression inputs that campaigns found (regress-*) are kept beside them by hand.
#include "bgl_fixtures/bgl_airports.h"
#include "learned_airport.h"
#include "livery_fixtures/cfg_text.h"
#include "settings/parameter.h"
#include "settings/parameter_table.h"
#include "tools/data_encryptor/stream_encryptor.h"
#include "tools/stand_fixtures/stand_fixtures.h"

#include <fmt/format.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace kvr;
using namespace kvr::fixtures;
namespace fs = std::filesystem;

fs::path corpusRoot;
std::size_t written = 0;

void seed(const std::string& target, const std::string& name, std::string_view bytes) {
    const fs::path folder = corpusRoot / target;
    fs::create_directories(folder);
    std::ofstream out(folder / ("seed-" + name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + (folder / name).string());
    ++written;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ---- text decoding and aircraft.cfg

const char* const accentedCfg =
    "[VERSION]\nmajor = 1\n[GENERAL]\nicao_type_designator = \"B738\"\n"
    "[FLTSIM.0]\ntitle = \"AIG B737-800 Café Zürich – KLM\"\nicao_airline = KLM\n";

void textDecodingSeeds() {
    for (const CfgEncoding encoding : allCfgEncodings)
        for (const LineEnd lineEnd : {LineEnd::lf, LineEnd::crlf})
            seed("text_decoding",
                 fmt::format("{}-{}.cfg", encodingName(encoding), lineEnd == LineEnd::lf ? "lf" : "crlf"),
                 encodeCfgText(accentedCfg, encoding, lineEnd));
    seed("text_decoding", "empty", "");
    seed("text_decoding", "bom-only", "\xEF\xBB\xBF");
    seed("text_decoding", "double-bom",
         "\xEF\xBB\xBF\xEF\xBB\xBF"
         "a\r\r\nb\r");
    seed("text_decoding", "utf8-broken",
         "ok \xC3\x28 \xE2\x82 \xF0\x9F\x98 \xED\xA0\x80 \xC0\xAF \xF4\x90\x80\x80");
    seed("text_decoding", "utf16le-lone-surrogates",
         std::string("\xFF\xFE\x00\xD8"
                     "a\x00\x00\xDC\x3D",
                     9));
    seed("text_decoding", "utf16be-no-bom-odd",
         std::string("\x00t\x00i\x00t\x00l\x00"
                     "e\x00",
                     11));
    seed("text_decoding", "cp1252-undefined", "\x81\x8D\x8F\x90\x9D\x80\x9F\xFF\n\n");
}

AircraftCfg klmCfg() {
    AircraftCfg cfg;
    cfg.icaoType = "B738";
    cfg.sections = {{"AIG Boeing 737-800 KLM PH-BXA", "KLM", "PH-BXA", "GATE_PAX", "KLM", {}},
                    {"AIG Boeing 737-800 KLM Cargo", "KLMC", "", "CARGO", "KLM_CARGO", {"// end"}},
                    {"AIG Boeing 737-800 Generic-STUB", "ZZZZ", "N123", "", "", {}},
                    {"AIG Boeing 737-800 Private", "", "PH1,PH2", "", "", {}}};
    return cfg;
}

void aircraftCfgSeeds() {
    const std::string klm = aircraftCfgText(klmCfg());
    for (const CfgEncoding encoding : allCfgEncodings)
        seed("aircraft_cfg", fmt::format("klm-{}.cfg", encodingName(encoding)),
             encodeCfgText(klm, encoding, encoding == CfgEncoding::ansi ? LineEnd::crlf : LineEnd::lf));

    AircraftCfg base;
    base.baseContainer = "..\\Asobo_CJ4";
    base.firstNumber = 3;
    base.sections = {{"Asobo CJ4 Private N123", "", "N123", "", "", {}},
                     {"Asobo CJ4 TRA", "TRA", "", "", "", {}}};
    seed("aircraft_cfg", "base-container.cfg", aircraftCfgText(base));

    AircraftCfg heavy;
    heavy.icaoType = "B74F";
    heavy.sections = {{"AIG 747-400F no airline", "", "", "CARGO", "", {}},
                      {"AIG 747-400F Martinair", "MPH", "PH-CKA", "CARGO", "MPH", {}},
                      {"AIG 747-400F RFO", "RFO", "", "", "", {}},
                      {"Do Not Use This Livery", "MPH", "", "", "", {}}};
    seed("aircraft_cfg", "heavy-fixed-type.cfg", aircraftCfgText(heavy));

    seed("aircraft_cfg", "ivao.cfg",
         "[fltsim.0]\ntitle = B738W KLM PH-BXA\ntexture = KLM\natc_id = PH-BXA\natc_parking_types = GATE\n"
         "[fltsim.1]\ntitle = B738WBAW\ntexture = BAW\n[fltsim.2]\ntitle = Unnamed\ntexture = 1\n"
         "atc_id = G-EUUA\n[fltsim.3]\ntitle = B738W XYZ\ntexture = missing\n");
    seed(
        "aircraft_cfg", "repeated-keys.cfg",
        "[GENERAL]\nicao_type_designator = A20N\n[fltsim.1]\ntitle = One\ntitle = Two\n"
        "[fltsim.2]\ntitle = Three\nicao_airline = KLM\nicao_airline = BAW\n[fltsim.3]\ntitle = Four\n"
        "icao_airline = DLH\natc_id = D-AIZA\natc_id = D-AIZB\n[fltsim.4]\ntitle = Five\nicao_airline = DLH\n"
        "atc_parking_types = GATE\natc_parking_types = CARGO\n[fltsim.5]\ntitle = Six\nicao_airline=klm\n"
        "atc_id = , ,\n[fltsim.6]\ntitle = \"quoted \"\" title\"\nicao_airline = \"ZZZ\"\n");
    seed("aircraft_cfg", "bad-numbers.cfg",
         "[GENERAL]\nicao_type_designator = E190\n[fltsim.99999999999]\ntitle = x\n[fltsim.-1]\n");
    seed("aircraft_cfg", "out-of-range.cfg",
         "[GENERAL]\nicao_type_designator = E190\n[fltsim.10001]\ntitle = x\n");
    seed("aircraft_cfg", "malformed-header.cfg",
         "icao_type_designator = C172\n[FLTSIM.x]\ntitle = Cessna PH1 Club\n[fltsim.1\ntitle = y\n"
         "  [other]\ntitle = z\n");
    seed("aircraft_cfg", "no-type.cfg", "[fltsim.0]\ntitle = orphan\nicao_airline = KLM\n");
    seed("aircraft_cfg", "no-sections.cfg", "[GENERAL]\nicao_type_designator = A320\n");
}

// ---- stand files and learned files

StandFileSpec smallAirport() {
    StandFileSpec spec = gf_syntheticAirport("Schiphol", 52.3086, 4.7639, 6, 7);
    spec.parameters.emplace_back("Qf_real", "12");
    spec.parameters.emplace_back("Qf_soft", "3");
    spec.parameters.emplace_back("RT_traffic_week", "1");
    spec.stands[0].opts = {gf_optSpec("PH-BXA", 1, "12:15", "KLM1:KLM2", "KLM", "B738"),
                           gf_optSpec("G-EUUA", 7, "0,47", "BAW12", "BAW", "A320", true),
                           gf_optSpec("D-AIZA", 9, "3", "DLH4", "DLH", "A320"),
                           gf_optSpec("N1", 2, "46:2", "")};
    return spec;
}

void standFileSeeds() {
    const StandFileSpec airport = smallAirport();
    seed("stand_file", "airport.xml", gf_standFileXml(airport));

    StandFileSpec noRoot = airport;
    noRoot.withRoot = false;
    seed("stand_file", "no-root.xml", gf_standFileXml(noRoot));
    StandFileSpec noMeta = airport;
    noMeta.withMeta = false;
    seed("stand_file", "no-meta.xml", gf_standFileXml(noMeta));
    StandFileSpec badVersion = airport;
    badVersion.version = "twelve";
    seed("stand_file", "bad-version.xml", gf_standFileXml(badVersion));

    StandFileSpec noAltitude = airport;
    std::erase_if(noAltitude.parameters, [](const auto& p) { return p.first == "altitude"; });
    seed("stand_file", "no-altitude.xml", gf_standFileXml(noAltitude));

    StandFileSpec ids = airport;
    ids.stands[1].attributes[0].second = ids.stands[0].attributes[0].second;
    seed("stand_file", "repeated-id.xml", gf_standFileXml(ids));
    ids = airport;
    ids.stands[2].attributes[0].second = "  ";
    seed("stand_file", "empty-id.xml", gf_standFileXml(ids));
    ids = airport;
    ids.stands[2].attributes.erase(ids.stands[2].attributes.begin());
    seed("stand_file", "missing-id.xml", gf_standFileXml(ids));

    StandFileSpec odd = airport;
    odd.stands[0].attributes = {{"id", "Z0"}, {"latitude", "0"}, {"longitude", "0"}};
    odd.stands[1].attributes = {{"id", "Z1"},     {"latitude", "52.3"}, {"longitude", "4.7"},
                                {"radius", "-5"}, {"heading", "720"},   {"cargo", "yes"},
                                {"heli", "1"}};
    odd.stands[2].attributes = {{"id", "Z2"}, {"latitude", "1e3"}, {"longitude", "x"}, {"radius", "1e9"}};
    seed("stand_file", "odd-values.xml", gf_standFileXml(odd));

    seed("stand_file", "link.txt", "airports/archive/stock/EHAM.xml  \r\nsecond line\n");
    seed("stand_file", "not-xml", "<root><parkpositions><parkpos id=\"A\"");
    seed("stand_file", "empty", "");
}

void learnedFileSeeds() {
    const StandFileSpec airport = fuzz::learnedTargetAirport();
    StandFileSpec learned = gf_syntheticLearned(airport, 14, 3);
    learned.parameters.insert(learned.parameters.end(), {{"MAX_LIVE_SEL", "40"},
                                                         {"RANGE", "30"},
                                                         {"AUTO_RANGE", "true"},
                                                         {"parking_percentage", "250"},
                                                         {"WEEK", "false"},
                                                         {"PARK_SOFT", "true"},
                                                         {"MAX_FIT", "11"},
                                                         {"RT_PARKTRAFFIC_ONLY", "true"},
                                                         {"INITIAL_LOAD_ONLY", "true"}});
    learned.stands[0].attributes.insert(learned.stands[0].attributes.end(),
                                        {{"radius_change", "true"}, {"radius", "33.5"}});
    learned.stands[2].attributes.insert(learned.stands[2].attributes.end(),
                                        {{"cargo_change", "true"}, {"cargo", "true"}});
    learned.stands[3].opts.push_back(gf_optSpec("PH-XYZ", 3, "", "", "KLM", "B738"));
    learned.stands[3].opts.push_back(gf_optSpec("PH-XYZ", 3, "60", "", "KLM", "B738"));
    ParkposSpec manual = gf_standSpec({"M1", 52.31, 4.77, 180.0, 25.0});
    manual.attributes.emplace_back("manual", "true");
    manual.opts.push_back(gf_optSpec("PH-BXA", 2, "10:12", "KLM7"));
    learned.stands.push_back(manual);
    ParkposSpec manualAtZero{{{"id", "M2"}, {"manual", "true"}, {"latitude", "0"}, {"longitude", "0"}}, {}};
    learned.stands.push_back(manualAtZero);
    learned.stands.push_back({{{"id", "UNKNOWN"}}, {gf_optSpec("PH-ABC", 1, "1")}});
    seed("learned_file", "learned.xml", gf_standFileXml(learned));

    StandFileSpec older = gf_syntheticLearned(airport, 6, 4);
    older.version = "11.9.0";
    seed("learned_file", "older-version.xml", gf_standFileXml(older));
    StandFileSpec noVersion = older;
    noVersion.version = "";
    seed("learned_file", "no-version.xml", gf_standFileXml(noVersion));
    StandFileSpec otherName = gf_syntheticLearned(airport, 3, 5);
    otherName.parameters[0].second = "Amsterdam";
    seed("learned_file", "other-name.xml", gf_standFileXml(otherName));

    StandFileSpec handmade = smallAirport();
    handmade.parameters.emplace_back("handmade", "true");
    seed("learned_file", "handmade.xml", gf_standFileXml(handmade));
    handmade.stands[1].attributes[0].second = handmade.stands[0].attributes[0].second;
    seed("learned_file", "handmade-repeated-id.xml", gf_standFileXml(handmade));
    seed("learned_file", "not-xml", "<root><meta><info name=\"version\" value=\"12.0.0\"/></meta><parkpos");
}

// ---- settings

void parametersSeeds() {
    std::string all = "<?xml version=\"1.0\"?>\n<root>\n  <parameters>\n";
    for (const Parameter* setting : gf_allParameters())
        if (setting->isSaved())
            all += fmt::format("    <parameter name=\"{}\" value=\"{}\" />\n", setting->name(),
                               setting->defaultText());
    all += "  </parameters>\n</root>\n";
    seed("parameters_file", "defaults.xml", all);
    seed("parameters_file", "odd-values.xml",
         fmt::format("<root><parameters>"
                     "<parameter name=\"{}\" value=\"99999999999\"/><parameter name=\"{}\" value=\" -3 \"/>"
                     "<parameter name=\"{}\" value=\"1e40\"/><parameter name=\"{}\" value=\"nan\"/>"
                     "<parameter name=\"{}\" value=\"maybe\"/><parameter name=\"{}\" value=\"Yes\"/>"
                     "<parameter name=\"{}\" value=\"a&#10;b&#9;&amp;&lt;&quot;\"/>"
                     "<parameter name=\"{}\"/><parameter name=\"UNKNOWN\" value=\"kept\"/>"
                     "<parameter name=\"{}\" value=\"20\"/><parameter name=\"{}\" value=\"x\"/>"
                     "</parameters></root>",
                     RANGE.name(), MAX_LIVE_SEL.name(), MAX_FIT_FL.name(), MAX_FIT_FL.name(),
                     SCAN_LIVERIES.name(), WEEK.name(), lfolder0.name(), RT_KEY.name(), MAX_PARK_SEL.name(),
                     MAX_PARK_SEL.name()));
    seed("parameters_file", "no-parameters.xml", "<root><other/></root>");
    seed("parameters_file", "top-level.xml",
         "<parameters><parameter name=\"RANGE\" value=\"10\"/></parameters>");
    seed("parameters_file", "not-xml", "<root><parameters><parameter name=\"RANGE\" value=\"10\"");
    seed("parameters_file", "empty", "");
}

// ---- service replies

std::string aircraftArray(const std::string& address, double latitude, double timestamp,
                          const std::string& extra) {
    std::string values =
        fmt::format("[\"{}\",\"KLM{}\",{},4.76,3000,250,90,-500,0,{},\"B738\",\"PH-BXA\",\"KLM\","
                    "\"KL1234\",\"EGLL\",\"EHAM\",\"1234\",260,91.5,null,3100,\"adsb\",{}",
                    address, address.size(), latitude, timestamp, extra);
    for (int i = 23; i < 48; ++i)
        values += i == 23 ? ",1799990000" : ",null";
    return values + "]";
}

void trafficReplySeeds() {
    const std::string stand = "\"D7\"";
    seed("traffic_reply", "reply.json",
         "{\"data\":[" + aircraftArray("484B2C", 52.31, 1800000010, stand) + "," +
             aircraftArray("484B2C", 52.30, 1800000000, stand) + "," +
             aircraftArray("4CA1E3", 52.40, 1800000005, "null") + "," +
             aircraftArray("A0", 52.20, 1800000005, "\"E2\"") + "],\"now\":1800003600}");
    seed("traffic_reply", "invalid-arrays.json",
         "{\"data\":[" + aircraftArray("000000", 52.31, 1800000010, stand) + "," +
             aircraftArray("1234567", 52.31, 1800000010, stand) + "," +
             aircraftArray("ZZ", 52.31, 1800000010, stand) + "," +
             aircraftArray("ABC", 95.0, 1800000010, stand) + "," +
             aircraftArray("ABD", 0, 1800000010, stand) + "," + aircraftArray("ABE", 52.0, -1, stand) +
             ",[1,2,3],\"text\",null,{}]}");
    seed(
        "traffic_reply", "wrong-types.json",
        "{\"data\":[[\"484B2C\",12,52.3,4.7,\"high\",true,{},[],0,1800000000,null,null,null,null,null,null,"
        "null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,"
        "null,null,null,null,null,null,null,null,null,null,null,null]]}");
    seed("traffic_reply", "empty-data.json", "{\"data\":[]}");
    seed("traffic_reply", "no-data.json", "{\"error\":\"busy\"}");
    seed("traffic_reply", "not-object.json", "[1,2]");
    seed("traffic_reply", "not-json", "{\"data\":[");

    seed("service_login_weather", "good.json",
         "{\"guid\":\"4f1c2a\",\"account\":\"Test account\",\"station\":\"EHAM\",\"qnh\":1021.4,"
         "\"metar\":\"EHAM 141125Z 24012KT 9999 FEW030 18/11 Q1021\"}");
    seed("service_login_weather", "low-qnh.json", "{\"guid\":\"g\",\"station\":\"EHAM\",\"qnh\":850}");
    seed("service_login_weather", "high-qnh.json", "{\"station\":\"LOWI\",\"qnh\":1e300,\"metar\":7}");
    seed("service_login_weather", "text-qnh.json", "{\"guid\":\"\",\"station\":\"EHAM\",\"qnh\":\"1013\"}");
    seed("service_login_weather", "no-station.json", "{\"guid\":42,\"station\":\"\",\"qnh\":1013}");
    seed("service_login_weather", "not-object.json", "\"EHAM\"");
    seed("service_login_weather", "not-json", "<html>502</html>");
}

// ---- registration codes and the livery catalogue

void regcodeSeeds() {
    seed("regcode_txt", "fleet.txt",
         "AIG Boeing 737-800 KLM PH-BXA;PH-BXA\r\nAIG Boeing 737-800 KLM;PH-BXB,PH-BXC,PH-BXD;#\n"
         "FSLTL A320 Lufthansa\nFSLTL A320 British Airways G-EUUA;G-EUUA;\n\nUnknown title;N12345\n");
    seed("regcode_txt", "bad-lines.txt",
         "a;b;c;d\nAIG Boeing 737-800 KLM;PH\nAIG Boeing 737-800 KLM;PH-BXA-TOO-LONG-CODE\n"
         "AIG Boeing 747-400F Martinair;X,PH-CKA,;#\nAIG Boeing 747-400F Martinair;,\n;\n");
    seed("regcode_txt", "empty", "");

    seed("regcode_aig", "document.xml",
         "<?xml version=\"1.0\"?><root><meta><info name=\"author\" value=\"AIG\"/>"
         "<info name=\"version\" value=\"1.2.3\"/></meta><AIG-regcodes>"
         "<livery title=\"AIG Boeing 737-800 KLM\" reg=\"PH-BXB,PH-BXC\"/>"
         "<livery title=\"AIG Boeing 737-800 KLM PH-BXA\" reg=\"PH-BXA\" special=\"true\"/>"
         "<livery title=\"AIG Boeing 737-800 KLM PH-BXA\" reg=\"PH-BXZ\"/>"
         "<livery title=\"FSLTL A320 Lufthansa\"/><livery reg=\"D-AIZA\"/>"
         "<livery title=\"Not installed\" reg=\"N1\"/></AIG-regcodes></root>");
    seed("regcode_aig", "top-level.xml",
         "<meta><info name=\"author\" value=\"AIG\"/></meta><AIG-regcodes><livery title=\"FSLTL A320 "
         "British Airways G-EUUA\" reg=\"G-EUUA,,G-EUUB\" special=\"1\"/></AIG-regcodes>");
    seed("regcode_aig", "no-meta.xml",
         "<root><AIG-regcodes><livery title=\"x\" reg=\"y\"/></AIG-regcodes></root>");
    seed("regcode_aig", "not-xml", "<root><meta>");

    const std::string head = "<?xml version=\"1.0\"?><root><meta><info name=\"author\" value=\"Vantrel\"/>"
                             "<info name=\"version\" value=\"12.0.0\"/></meta><liveries>";
    seed("livery_catalogue", "catalogue.xml",
         head + "<liv airl=\"KLM\" type=\"B738\" title=\"KLM 737 PH-BXA\" atcid=\"PH-BXA\"/>"
                "<liv airl=\"KLM\" type=\"B738\" title=\"KLM 737 other\" atcid=\"PH-BXA\"/>"
                "<liv airl=\"MPH\" type=\"B744\" cargo=\"true\" title=\"Martinair 747F\"/>"
                "<liv airl=\"PVT\" type=\"C172\" title=\"Cessna private\"/><liv airl=\"ZZZ\" type=\"C25C\" "
                "title=\"CJ4 generic\"/><liv airl=\"PVT\" type=\"EC35\" title=\"EC135\"/>"
                "<liv airl=\"KLMC\" type=\"B738\" title=\"KLM cargo variant\"/></liveries></root>");
    seed("livery_catalogue", "repeated-titles.xml",
         head + "<liv airl=\"A\" type=\"X\" title=\"same\"/><liv airl=\"B\" type=\"X\" title=\"same\"/>"
                "<liv airl=\"\" type=\"\" title=\"\"/><other airl=\"A\" type=\"Y\" "
                "title=\"t\"/></liveries></root>");
    seed("livery_catalogue", "missing-attribute.xml",
         head + "<liv airl=\"KLM\" title=\"no type\"/></liveries></root>");
    seed("livery_catalogue", "no-liveries.xml", "<root><meta/></root>");
    seed("livery_catalogue", "empty-liveries.xml", head + "</liveries></root>");
    seed("livery_catalogue", "top-level.xml",
         "<liveries><liv airl=\"KLM\" type=\"B738\" title=\"t\"/></liveries>");
    seed("livery_catalogue", "not-xml", "<root><liveries><liv airl=");
}

// ---- data bases and their decryption

void dataBaseSeeds() {
    seed("dbase", "dbase.xml",
         "<?xml version=\"1.0\"?><dbase><types>"
         "<type icao=\"B738\" category=\"2\" wingspan=\"35.8\" similar=\"B737, B38M,B738\"/>"
         "<type icao=\"B744\" category=\"3\" wingspan=\"64.4\"/><type icao=\"C172\" category=\"0\" "
         "wingspan=\"11\"/>"
         "<type icao=\"EC35\" category=\"5\"/><type icao=\"B738\" category=\"2\"/>"
         "<type icao=\"X1\" category=\"6\"/><type icao=\"X2\" category=\"2\" wingspan=\"-3\"/>"
         "<type category=\"1\"/></types><typefixes><fix wrong=\"B74F\" right=\"B744\"/>"
         "<fix wrong=\"A\" right=\"A\"/><fix wrong=\"B74F\" right=\"B748\"/></typefixes>"
         "<airlines><airline icao=\"KLM\"/><airline icao=\"MPH\" cargo=\"true\"/><airline icao=\"TOOLONG\"/>"
         "</airlines><registrations><reg id=\"PH-BXA\" airline=\"KLM\" type=\"B738\"/>"
         "<reg id=\"PH-CKA\" airline=\"KLM\" type=\"B744\" operator=\"MPH\"/><reg id=\"N1\" cargo=\"false\"/>"
         "<reg id=\"PH-BXA\"/><reg airline=\"KLM\"/></registrations>"
         "<publishers><group names=\"Orbx, orbx Global\"/><group names=\" , \"/></publishers>"
         "<simaddons20 arpts=\"EHAM,LOWI\"/><thirdparties20><entry pub=\"Orbx\" arpts=\"EGLC12\"/><entry/>"
         "</thirdparties20><thirdparties24><entry pub=\"X\"/></thirdparties24></dbase>");
    seed("dbase", "no-dbase.xml", "<airports/>");
    seed("dbase", "empty-sections.xml", "<dbase><types/><typefixes/><airlines/><registrations/></dbase>");
    seed("dbase", "not-xml", "<dbase><types><type icao=");
    seed("dbase", "doctype.xml",
         "<!DOCTYPE dbase [<!ENTITY k \"KLM\">]><dbase><types><type icao=\"B738\" category=\"2\"/></types>"
         "<airlines><airline icao=\"&k;\"/></airlines></dbase>");

    seed(
        "airports", "airports.xml",
        "<?xml version=\"1.0\"?><airports>"
        "<airport code=\"EHAM\" iata=\"AMS\" name=\"Schiphol\" lat=\"52.3086\" lon=\"4.7639\" alt=\"-11\" "
        "stands=\"2\"/><airport code=\"EGLL\" lat=\"51.47\" lon=\"-0.4543\" alt=\"83\"/>"
        "<airport code=\"EHAM\" name=\"Second\" lat=\"1\" lon=\"1\"/><airport code=\"E\" lat=\"1\" "
        "lon=\"2\"/>"
        "<airport code=\"XBAD\" lat=\"91\" lon=\"0\"/><airport code=\"XNAN\" lat=\"nan\" lon=\"0\"/>"
        "<airport code=\"XALT\" lat=\"1\" lon=\"1\" alt=\"high\"/><airport code=\"XSTD\" lat=\"1\" lon=\"1\" "
        "stands=\"-1\"/><airport lat=\"1\" lon=\"1\"/></airports>");
    seed("airports", "no-airports.xml", "<dbase/>");
    seed("airports", "empty.xml", "<airports/>");
    seed("airports", "not-xml", "<airports><airport code=\"EHAM\"");
    seed("airports", "latin1-doctype.xml",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><!DOCTYPE airports [<!ENTITY n \"Z\xFCrich ]\">]>"
         "<airports><airport code=\"LSZH\" name=\"&n;\" lat=\"47.46\" lon=\"8.55\"/></airports>");

    const fs::path scratch = fs::temp_directory_path() / "vantrel-fuzz-seeds.enc";
    for (const std::size_t length : {std::size_t{0}, std::size_t{40}, std::size_t{4096}, std::size_t{5000}}) {
        std::string plain;
        for (std::size_t i = 0; i < length; ++i)
            plain += static_cast<char>('a' + i % 26);
        if (!gf_encryptBytes(plain, scratch).empty())
            throw std::runtime_error("encryption failed");
        const std::string encrypted = readBytes(scratch);
        seed("stream_decrypt", fmt::format("stream-{}", length), encrypted);
        if (length == 5000) {
            seed("stream_decrypt", "cut-after-first-chunk", encrypted.substr(0, 24 + 4096 + 17));
            seed("stream_decrypt", "trailing-bytes", encrypted + "xyz");
            seed("stream_decrypt", "header-only", encrypted.substr(0, 24));
        }
    }
    fs::remove(scratch);
    seed("stream_decrypt", "short", "not a stream");
}

// ---- the update check, zip packages

std::string zipBytes(const std::vector<std::pair<std::string, std::string>>& entries, bool stored = false) {
    const fs::path scratch = fs::temp_directory_path() / "vantrel-fuzz-seeds.zip";
    int error = 0;
    zip_t* archive = zip_open(scratch.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        throw std::runtime_error("cannot create a zip archive");
    for (const auto& [name, content] : entries) {
        if (name.ends_with('/')) {
            zip_dir_add(archive, name.c_str(), ZIP_FL_ENC_UTF_8);
            continue;
        }
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0)
            throw std::runtime_error("cannot add " + name);
        if (stored)
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot write the zip archive");
    std::string bytes = readBytes(scratch);
    fs::remove(scratch);
    return bytes;
}

void updateAndZipSeeds() {
    const std::string package = zipBytes({{"Vantrel/", ""}, {"Vantrel/setup.txt", "install me"}});
    const std::string simAddon = zipBytes({{"EHAM.xml", "<root/>"}, {"sub/LOWI.xml", "<root/>"}});
    seed("update_check", "current.json",
         "{\"program\":{\"version\":\"12.0.0\",\"file\":\"Vantrel-12.0.0.zip\"},\"addons\":{\"version\":\"1."
         "0.0\"},"
         "\"mysimaddon24\":{\"version\":\"2.0.0\",\"file\":\"addons/my_simaddon24.zip\"}}" +
             std::string(1, '\0') + simAddon);
    seed("update_check", "newer-zip.json",
         "{\"program\":{\"version\":\"v99.1.2-beta\",\"file\":\"Vantrel-99.1.2.zip\"}}" +
             std::string(1, '\0') + package);
    seed("update_check", "newer-installer.json",
         "{\"program\":{\"version\":\"12.0.1\",\"file\":\"setup/Vantrel+12.0.1.exe\"}}" +
             std::string(1, '\0') + "MZ installer");
    seed("update_check", "unsafe-file.json",
         "{\"program\":{\"version\":\"99.0.0\",\"file\":\"../"
         "secret.zip\"},\"mysimaddon24\":{\"version\":\"9.9.9\","
         "\"file\":\"/etc/passwd\"}}");
    seed("update_check", "bad-versions.json",
         "{\"program\":{\"version\":\"twelve\",\"file\":\"a.zip\"},\"addons\":{\"version\":\"99999999999.0."
         "0\"}}");
    seed("update_check", "no-program.json", "{\"addons\":{\"version\":\"2.0.0\"}}");
    seed("update_check", "not-json", "<html>404</html>");

    seed("zip_extract", "package.zip", package);
    seed("zip_extract", "stored.zip", zipBytes({{"a/b/c.txt", "stored bytes"}, {"d.txt", ""}}, true));
    seed("zip_extract", "parent-entry.zip", zipBytes({{"ok.txt", "x"}, {"../escape.txt", "y"}}));
    seed("zip_extract", "absolute-entry.zip", zipBytes({{"/tmp/escape.txt", "y"}}));
    seed("zip_extract", "drive-entry.zip", zipBytes({{"C:escape.txt", "y"}, {"a\\..\\..\\b.txt", "z"}}));
    seed("zip_extract", "file-and-folder.zip", zipBytes({{"x", "file"}, {"x/y", "below a file"}}));
    seed("zip_extract", "empty.zip", zipBytes({}));
    seed("zip_extract", "not-zip", "PK\x03\x04 broken");
}

// ---- simulator files

void simulatorSeeds() {
    seed("sim_scenario", "minimal.json",
         "{\"userAircraft\":{\"title\":\"Boeing 737-800 KLM\",\"latitude\":52.3086,\"longitude\":4.7639}}");
    seed("sim_scenario", "full.json",
         "{\"simulator\":{\"kind\":\"MSFS 2024\",\"applicationName\":\"SunRise\",\"version\":\"12.1.2.3\","
         "\"startsAfterSeconds\":1,\"flightStartsAfterSeconds\":2,\"creationDelaySeconds\":0.5},"
         "\"utcStart\":\"2025-06-14T09:30:00Z\",\"install\":{\"packagesFolder\":\"packages\",\"titles\":["
         "\"A\",\"B\"]},"
         "\"userAircraft\":{\"title\":\"A320neo\",\"atcModel\":\"A20N\",\"wingspanFt\":117.5,\"latitude\":52."
         "43,"
         "\"longitude\":4.748,\"altitudeFt\":3000,\"headingDeg\":183,\"onGround\":false,\"route\":["
         "{\"latitude\":52.33,\"longitude\":4.74,\"speedKt\":140,\"altitudeFt\":50},{\"holdSeconds\":5},"
         "{\"latitude\":52.30,\"longitude\":4.75,\"speedKt\":3,\"backwards\":true,\"onGround\":true}]},"
         "\"timeline\":[{\"atSeconds\":90,\"event\":\"quit\"},{\"atSeconds\":10,\"event\":\"teleport\","
         "\"latitude\":51.47,\"longitude\":-0.45,\"altitudeFt\":83,\"headingDeg\":270},{\"atSeconds\":5,"
         "\"event\":"
         "\"flightLoaded\",\"fileName\":\"a.FLT\"},{\"atSeconds\":6,\"event\":\"aircraftLoaded\"},"
         "{\"atSeconds\":7,\"event\":\"pause\"},{\"atSeconds\":8,\"event\":\"unpause\"},{\"atSeconds\":9,"
         "\"event\":"
         "\"simStop\"},{\"atSeconds\":9,\"event\":\"simStart\"},{\"atSeconds\":11,\"event\":\"disconnect\"}]"
         "}");
    seed(
        "sim_scenario", "bad-values.json",
        "{\"simulator\":{\"kind\":\"MSFS 2020\",\"version\":\"1.2.3\"},\"utcStart\":\"2025-13-14T09:30:00Z\","
        "\"userAircraft\":{\"title\":\"x\",\"latitude\":95,\"longitude\":0,\"route\":[{\"holdSeconds\":0}]},"
        "\"timeline\":[{\"atSeconds\":-1,\"event\":\"explode\"}]}");
    seed(
        "sim_scenario", "wrong-types.json",
        "{\"simulator\":[],\"install\":{\"titles\":[1]},\"userAircraft\":{\"title\":7,\"latitude\":\"52\"}}");
    seed("sim_scenario", "not-json", "{\"userAircraft\":");

    seed("user_cfg", "store.opt",
         "\xEF\xBB\xBFVersion 3\r\n[GRAPHICS]\r\nInstalledPackagesPath \"C:\\Users\\pilot\\AppData\\Local\\"
         "Packages\\Microsoft.FlightSimulator_8wekyb3d8bbwe\\LocalCache\\Packages\"\r\n");
    seed("user_cfg", "steam.opt",
         "InstalledPackagesPathX \"no\"\nInstalledPackagesPath\t\"/home/pilot/msfs/packages\" trailing\n");
    seed("user_cfg", "odd-lines.opt",
         "InstalledPackagesPath\nInstalledPackagesPath \"\"\nInstalledPackagesPath \"open\n"
         "InstalledPackagesPath x\"D:\\MSFS\"\n");
}

// ---- BGL scenery files

std::string bglText(const BglFile& file) {
    const std::vector<std::uint8_t> bytes = bglBytes(file);
    return {bytes.begin(), bytes.end()};
}

BglParkingList bglParkings(std::vector<BglParking> parkings) {
    BglParkingList list;
    list.parkings = std::move(parkings);
    return list;
}

BglParking bglParking(std::uint8_t nameIndex, std::uint16_t number, std::uint8_t type, float radius) {
    BglParking parking;
    parking.nameIndex = nameIndex;
    parking.number = number;
    parking.type = type;
    parking.radiusMetres = radius;
    parking.latitude = 52.3;
    parking.longitude = 4.76;
    return parking;
}

BglAirport bglAirport(const std::string& code, std::vector<BglSubrecord> subrecords) {
    BglAirport airport;
    airport.icao = code;
    airport.altitudeMillimetres = -3000;
    airport.subrecords = std::move(subrecords);
    return airport;
}

void bglSeeds() {
    seed("bgl", "grid", bglText(bglFileWith({bglGridAirport("EGLL", 51.47, -0.46, 12, 2, 25000)})));

    BglParking withCodes = bglParking(bglNameLetterA, 7, bglTypeRampCargo, 30.0f);
    withCodes.airlineCodes = {0x4B4C4D, 0x424157};
    withCodes.headingDegrees = 0.0f;
    BglParking nullIsland = bglParking(bglNameGate, 9, bglTypeGateSmall, 20.0f);
    nullIsland.latitude = 0.0;
    nullIsland.longitude = 0.0;
    seed("bgl", "parking-rules",
         bglText(bglFileWith({bglAirport(
             "EHAM",
             {BglHelipad{52.31, 4.77, 24.0f, std::nullopt}, BglHelipad{52.31, 4.77, 24.0f, std::nullopt},
              bglParkings({bglParking(bglNameGate, 1, bglTypeGateSmall, 20.0f),
                           bglParking(bglNameGate, 1, bglTypeGateHeavy, 40.0f), withCodes, nullIsland,
                           bglParking(2, 3, 12, 20.0f), bglParking(bglNameGate, 4, 8, 1.0f),
                           bglParking(bglNameGate, 5, 8, 200.0f), bglParking(0, 6, 15, 199.9f)})})})));

    BglFile twoSections = bglFileWith({bglAirport("EGLL", {bglParkings({bglParking(10, 1, 8, 20.0f)})}),
                                       BglRawRecord{0x99, {1, 2}, std::nullopt}});
    twoSections.sections.push_back(BglSection{
        bglAirportSectionType, 0x40000, {bglAirport("EHAM", {bglParkings({bglParking(10, 2, 8, 20.0f)})})}});
    seed("bgl", "two-sections", bglText(twoSections));

    BglParkingList claimsMore = bglParkings({bglParking(bglNameGate, 1, bglTypeGateSmall, 20.0f)});
    claimsMore.countOverride = 3;
    seed("bgl", "short-records",
         bglText(bglFileWith(
             {bglAirport("EHAM", {BglHelipad{52.31, 4.77, 24.0f, std::nullopt}, claimsMore}),
              bglAirport("EGLL", {BglRawRecord{bglHelipadId, std::vector<std::uint8_t>(10, 0), std::nullopt},
                                  bglParkings({bglParking(bglNameGate, 2, bglTypeGateSmall, 20.0f)})})})));

    seed("bgl", "name-of-19-bytes",
         bglText(bglFileWith(
             {bglAirport("EGLL", {BglRawRecord{0x19, std::vector<std::uint8_t>(13, 'N'), std::nullopt, false},
                                  bglParkings({bglParking(10, 4, 8, 20.0f)})})})));

    BglAirport sizeless = bglAirport("EHAM", {bglParkings({bglParking(10, 1, 8, 20.0f)})});
    sizeless.sizeOverride = 0;
    seed("bgl", "zero-sizes",
         bglText(bglFileWith({bglAirport("EGLL", {BglHelipad{51.47, -0.46, 20.0f, 0u},
                                                  bglParkings({bglParking(10, 2, 8, 20.0f)})}),
                              sizeless})));

    BglAirport overlong = bglAirport("EGLL", {BglHelipad{51.47, -0.46, 20.0f, std::nullopt}});
    overlong.sizeOverride = 4000;
    seed("bgl", "overlong-airport", bglText(bglFileWith({overlong})));

    std::string unsupported =
        bglText(bglFileWith({BglRawRecord{bglUnsupportedAirportId, {0, 0, 0, 0, 0, 0}, std::nullopt},
                             bglAirport("EGLL", {bglParkings({bglParking(10, 1, 8, 20.0f)})})}));
    seed("bgl", "unsupported-record-2020", unsupported);
    unsupported[0] = '\0';
    seed("bgl", "unsupported-record-2024", unsupported);

    BglFile longEntries = bglFileWith({bglAirport("EGLL", {bglParkings({bglParking(10, 1, 8, 20.0f)})})});
    longEntries.sections.front().sizeCode = 0x50000;
    seed("bgl", "long-subsection-entries", bglText(longEntries));
    seed("bgl", "no-airports", bglText(bglSceneryObjectsFile()));

    BglSection namesTheFirstTable;
    namesTheFirstTable.tableOfSection = 0;
    BglFile namedAgain = bglFileWith({bglAirport("EGLL", {bglParkings({bglParking(10, 1, 8, 20.0f)})})});
    namedAgain.sections.insert(namedAgain.sections.end(), 8, namesTheFirstTable);
    seed("bgl", "subsection-named-again", bglText(namedAgain));
    BglFile sharedEmpty = bglFileWith({bglAirport("EHAM", {bglParkings({bglParking(10, 1, 8, 20.0f)})})});
    sharedEmpty.sections.front().emptySubsectionsBefore = 200;
    sharedEmpty.sections.insert(sharedEmpty.sections.end(), 40, namesTheFirstTable);
    seed("bgl", "shared-empty-subsections", bglText(sharedEmpty));

    BglFile damagedTables = bglFileWith({bglAirport("EGLL", {bglParkings({bglParking(10, 1, 8, 20.0f)})})});
    damagedTables.sections.front().subsectionCountOverride = 0;
    BglSection zeroSize{
        bglAirportSectionType, 0x40000, {bglAirport("EGLL", {bglParkings({bglParking(10, 2, 8, 20.0f)})})}};
    zeroSize.subsectionSizeOverride = 0;
    damagedTables.sections.push_back(zeroSize);
    damagedTables.sections.push_back(BglSection{
        bglAirportSectionType, 0x40000, {bglAirport("EHAM", {bglParkings({bglParking(10, 3, 8, 20.0f)})})}});
    seed("bgl", "no-or-empty-subsections", bglText(damagedTables));

    BglHelipad endless{51.47, -0.46, 20.0f, 0xFFFFFFFFu};
    seed("bgl", "sizes-past-their-container",
         bglText(bglFileWith({bglAirport("EGLL", {endless, bglParkings({bglParking(10, 1, 8, 20.0f)})}),
                              BglRawRecord{0x99, {1, 2}, 4000u},
                              bglAirport("EHAM", {bglParkings({bglParking(10, 2, 8, 20.0f)})})})));

    BglParkingList lastCut = bglParkings({bglParking(10, 1, 8, 20.0f), bglParking(10, 2, 8, 20.0f)});
    lastCut.sizeOverride = 8 + 56 + 28;
    BglParking codesPast = bglParking(10, 2, 8, 20.0f);
    codesPast.airlineCodes = {0x4B4C4D, 0x424157, 0x414641};
    BglParkingList codesCut = bglParkings({bglParking(10, 1, 8, 20.0f), codesPast});
    codesCut.sizeOverride = 8 + 56 + 56 + 4;
    seed("bgl", "parking-lists-cut",
         bglText(bglFileWith({bglAirport("EGLL", {lastCut}), bglAirport("EHAM", {codesCut})})));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel-fuzz-seeds <corpus folder>\n");
        return 2;
    }
    try {
        corpusRoot = argv[1];
        textDecodingSeeds();
        aircraftCfgSeeds();
        standFileSeeds();
        learnedFileSeeds();
        parametersSeeds();
        trafficReplySeeds();
        regcodeSeeds();
        dataBaseSeeds();
        updateAndZipSeeds();
        simulatorSeeds();
        bglSeeds();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantrel-fuzz-seeds: %s\n", error.what());
        return 1;
    }
    std::printf("%zu seed files written below %s\n", written, corpusRoot.c_str());
    return 0;
}
