// The decoding of airport BGL files, end to end through the generated stand file, and the record readers
// on the words of a written file.
#include "airport_scan_support.h"
#include "parking/bgl_reader_internal.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <limits>

namespace kvr::test {
namespace {

namespace fs = std::filesystem;
using namespace fixtures;

constexpr double egllLatitude = 51.4706;
constexpr double egllLongitude = -0.4619;

BglParking parking(std::uint8_t nameIndex, std::uint16_t number, std::uint8_t type = bglTypeGateSmall,
                   float radius = 20.0f, double northMetres = 0.0) {
    BglParking p;
    p.nameIndex = nameIndex;
    p.number = number;
    p.type = type;
    p.radiusMetres = radius;
    p.latitude = egllLatitude + northMetres / 111120.0;
    p.longitude = egllLongitude;
    return p;
}

BglAirport airportWith(std::vector<BglSubrecord> subrecords, const std::string& code = "EGLL") {
    BglAirport airport;
    airport.icao = code;
    airport.subrecords = std::move(subrecords);
    return airport;
}

BglParkingList parkings(std::vector<BglParking> list) {
    BglParkingList result;
    result.parkings = std::move(list);
    return result;
}

BglHelipad helipad(double latitude, double longitude, float size = 30.0f) {
    BglHelipad pad;
    pad.latitude = latitude;
    pad.longitude = longitude;
    pad.sizeMetres = size;
    return pad;
}

// The first record of the first section, as the file's tables give it (header, section entry at 56,
// subsection entry, first record); it views the bytes.
BglRecordView firstRecordOf(const std::vector<std::uint8_t>& bytes) {
    const BglCursor file(bytes);
    return lf_recordAt(file, file.u32At(file.u32At(56 + 12) + 8)).value();
}

BglRawRecord rawRecords(std::uint16_t id) {
    return BglRawRecord{id, {1, 2}, std::nullopt};
}

class BglDecodingTest : public AirportScanTest {
protected:
    void SetUp() override {
        AirportScanTest::SetUp();
        knownAirports({"EGLL", "EHAM"});
    }

    std::map<std::string, WrittenStand> egllStands() { return writtenStands(thirdpartyFile("EGLL.xml")); }
};

TEST_F(BglDecodingTest, FilesThatAreNotAirportFilesEndQuietly) {
    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes;
        bool airportSection;
    };
    const BglFile good = bglFileWith({airportWith({parkings({parking(bglNameGate, 1)})})});
    BglFile otherHeader = good;
    otherHeader.headerSize = 0x40;
    BglFile noSections = good;
    noSections.sectionCountOverride = 0;
    BglFile tableTooLong = good;
    tableTooLong.sectionCountOverride = 100000;
    BglFile notAirports = good;
    notAirports.sections.front().type = 0x25;
    BglFile longEntries = good;
    longEntries.sections.front().sizeCode = 0x50000;
    std::vector<std::uint8_t> headerOnly = bglBytes(good);
    headerOnly.resize(56);

    const std::vector<Case> cases{{"header only", headerOnly, false},
                                  {"header size", bglBytes(otherHeader), true},
                                  {"no sections", bglBytes(noSections), false},
                                  {"table too long", bglBytes(tableTooLong), false},
                                  {"no airport section", bglBytes(notAirports), false},
                                  {"20-byte subsection entries", bglBytes(longEntries), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = folder / (c.name + ".bgl");
        writeBytes(path, c.bytes);
        EXPECT_EQ(lf_hasAirportSection(path), c.airportSection);
        lf_processBGLfile(path);
        EXPECT_FALSE(fs::exists(thirdpartyFile("EGLL.xml")));
        EXPECT_TRUE(messages().empty());
    }
    EXPECT_FALSE(logHas("==> "));
    EXPECT_FALSE(lf_hasAirportSection(folder / "missing.bgl"));

    const auto path = folder / "good.bgl";
    writeBytes(path, bglBytes(good));
    EXPECT_TRUE(lf_hasAirportSection(path));
    lf_processBGLfile(path);
    EXPECT_EQ(egllStands().size(), 1u);
}

TEST_F(BglDecodingTest, PackedIcaoCodes) {
    EXPECT_EQ(bglPackIcao("EGLL"), 28954912u);
    bool supported = false;
    EXPECT_EQ(lf_decodeIcao(28954912u, supported), "EGLL");
    EXPECT_TRUE(supported);

    // E, digit 1, L, L
    const std::uint32_t withDigitOne = (((16u * 38 + 1) * 38 + 23) * 38 + 23) * 32;
    lf_decodeIcao(withDigitOne, supported);
    EXPECT_FALSE(supported);
    const std::uint32_t withDigitZero = (((16u * 38 + 0) * 38 + 23) * 38 + 23) * 32;
    lf_decodeIcao(withDigitZero, supported);
    EXPECT_FALSE(supported);
    lf_decodeIcao(bglPackIcao("EGL"), supported);
    EXPECT_FALSE(supported);
    EXPECT_TRUE(messages().empty());

    EXPECT_EQ(lf_decodeIcao(bglPackIcao("EGLX"), supported), "EGLX");
    EXPECT_FALSE(supported);
    EXPECT_TRUE(hasMessage("EGLX is not an airport supported by DezeDerezuv "));
    EXPECT_EQ(lf_isRtSupportedAirport("egll"), std::make_pair(std::string("EGLL"), true));
}

TEST_F(BglDecodingTest, ParkingsBecomeStandsByTypeRadiusNameAndPosition) {
    BglParking withAirlines = parking(bglNameGate, 2, bglTypeGateSmall, 20.0f, 60);
    withAirlines.airlineCodes = {0x4B4C4D, 0x424157};
    BglParking atNullIsland = parking(bglNameGate, 30);
    atNullIsland.latitude = 0.00005;
    atNullIsland.longitude = -0.00005;
    BglParking northWest = parking(bglNameGate, 31, bglTypeGateSmall, 20.0f, 1200);
    northWest.headingDegrees = 0.0f;
    const auto path = writeAirport(
        "scenery/EGLL.bgl",
        airportWith(
            {parkings({parking(bglNameGate, 1, 0, 20, 0), parking(bglNameGate, 12, 8, 20, 30), withAirlines,
                       parking(14, 3, 12, 20, 90), parking(0, 15, 13, 20, 120),
                       parking(bglNameLetterA, 4, bglTypeRampCargo, 30, 150), parking(1, 5, 14, 20, 180),
                       parking(2, 6, 15, 20, 210), parking(bglNameGate, 7, 8, 1.0f, 240),
                       parking(bglNameGate, 8, 8, 200.0f, 270), parking(bglNameGate, 9, 8, 1.1f, 300),
                       parking(bglNameGate, 10, 8, 199.9f, 330), parking(14, 3, 8, 20, 360), atNullIsland,
                       northWest})}));

    lf_processBGLfile(path);
    const auto stands = egllStands();
    std::vector<std::string> ids;
    for (const auto& [id, stand] : stands)
        ids.push_back(id);
    // Types 0, 12 and 13 give no stand, and the skipped C3 of type 12 leaves its id to the C3 behind it.
    EXPECT_EQ(ids, (std::vector<std::string>{"A4", "C3", "g10", "g12", "g2", "g31", "g9", "p6", "r5"}));
    EXPECT_TRUE(stands.at("A4").cargo);
    EXPECT_TRUE(stands.at("A4").ramp);
    EXPECT_TRUE(stands.at("r5").ramp);
    EXPECT_FALSE(stands.at("r5").cargo);
    EXPECT_FALSE(stands.at("p6").ramp || stands.at("p6").cargo || stands.at("p6").heli);
    EXPECT_FALSE(stands.at("g12").ramp);
    EXPECT_DOUBLE_EQ(stands.at("g9").radius, 1.1);
    EXPECT_DOUBLE_EQ(stands.at("g10").radius, 199.9);
    EXPECT_DOUBLE_EQ(stands.at("g31").heading, 360.0);
    EXPECT_DOUBLE_EQ(stands.at("g2").heading, 90.0);
    EXPECT_NEAR(stands.at("g2").latitude, egllLatitude + 60 / 111120.0, 1e-6);
    EXPECT_NEAR(stands.at("g2").longitude, egllLongitude, 1e-6);

    const std::string pathText = path.string();
    EXPECT_TRUE(hasMessage("Skipped position with radius 1.0 m in " + pathText));
    EXPECT_TRUE(hasMessage("Skipped position with radius 200.0 m in " + pathText));
    EXPECT_TRUE(hasMessage("LatLon 0.000050,-0.000050 invalid (skipped)"));
    EXPECT_TRUE(hasMessage("Generated EGLL.xml: 9 positions"));
}

TEST_F(BglDecodingTest, HeadingsRadiiAndAltitudeInMemoryUnits) {
    BglParking north = parking(bglNameGate, 1, bglTypeGateSmall, 37.04f);
    north.headingDegrees = 0.0f;
    BglParking east = parking(bglNameGate, 2);
    east.headingDegrees = 90.0f;
    BglAirport airport = airportWith({parkings({north, east})});
    const auto bytes = bglBytes(bglFileWith({airport}));
    const BglRecordView egll = firstRecordOf(bytes);

    ApfRecord record;
    std::unordered_set<std::string> ids;
    lf_readParkings(lf_recordAt(egll.bytes, 68).value().bytes, record, ids, "EGLL.bgl");
    ASSERT_EQ(record.stands.size(), 2u);
    EXPECT_EQ(record.stands[0].heading, 6.283185307179586);
    EXPECT_DOUBLE_EQ(record.stands[1].heading, 3.141592653589793 / 2);
    EXPECT_NEAR(record.stands[0].radius, 0.02, 1e-7);

    // Feet = millimetres x 3.2808399 / 1000, rounded: -6096 mm is -20.0 ft, -6401 mm -21.0 ft, 3048000 mm
    // 10000.0 ft and 3048300 mm 10001.0 ft; only -20 .. 10000 ft are kept.
    const auto altitudeOf = [&](std::int32_t millimetres) {
        airport.altitudeMillimetres = millimetres;
        const auto file = bglBytes(bglFileWith({airport}));
        return lf_makeApfRecord(firstRecordOf(file).bytes).altitude;
    };
    EXPECT_EQ(altitudeOf(-3000), -10);
    EXPECT_EQ(altitudeOf(-6096), -20);
    EXPECT_EQ(altitudeOf(-6401), 0);
    EXPECT_EQ(altitudeOf(3048000), 10000);
    EXPECT_EQ(altitudeOf(3048300), 0);
    EXPECT_EQ(altitudeOf(3100000), 0);
}

TEST_F(BglDecodingTest, RepeatedIdsGetSuffixesUntilTenAreTaken) {
    std::vector<BglParking> list;
    for (int i = 0; i < 12; ++i)
        list.push_back(parking(bglNameGate, 1, bglTypeGateSmall, 20.0f, 40.0 * i));
    const auto path = writeAirport("EGLL.bgl", airportWith({parkings(list)}));
    lf_processBGLfile(path);

    const auto stands = egllStands();
    EXPECT_EQ(stands.size(), 11u);
    for (const char* id : {"g1", "g1a", "g1b", "g1j"})
        EXPECT_TRUE(stands.contains(id)) << id;
    EXPECT_NEAR(stands.at("g1b").latitude, egllLatitude + 80 / 111120.0, 1e-6);
    EXPECT_TRUE(hasMessage("===> Warning: more than 10 duplicate IDs g1 in " + path.string()));
}

TEST_F(BglDecodingTest, HelipadsBeforeTheParkingListOnly) {
    const double north = egllLatitude + 0.01;
    BglAirport airport =
        airportWith({helipad(north, egllLongitude), helipad(north, egllLongitude), helipad(0.0, 0.0),
                     helipad(north + 0.001, egllLongitude, 40.0f), parkings({parking(bglNameGate, 1)}),
                     helipad(north + 0.002, egllLongitude)});
    lf_processBGLfile(writeAirport("EGLL.bgl", airport));

    const auto stands = egllStands();
    ASSERT_EQ(stands.size(), 3u);
    EXPECT_TRUE(stands.at("helipad1").heli);
    EXPECT_DOUBLE_EQ(stands.at("helipad1").radius, 15.0);
    EXPECT_DOUBLE_EQ(stands.at("helipad2").radius, 20.0);
    EXPECT_NEAR(stands.at("helipad2").latitude, north + 0.001, 1e-6);
    EXPECT_TRUE(hasMessage(fmt::format("double helipad  (skipped) {:.6f},{:.6f}",
                                       lf_unpackLatitude(bglPackLatitude(north)),
                                       lf_unpackLongitude(bglPackLongitude(egllLongitude)))));
    EXPECT_TRUE(messageContains("lat/lon helipad incorrect (skipped): "));
    EXPECT_TRUE(hasMessage("Generated EGLL.xml: 3 positions, of which 2 helipads"));
}

TEST_F(BglDecodingTest, SizesAndHeadingsThatAreNoNumbersAreSkipped) {
    const float notANumber = std::numeric_limits<float>::quiet_NaN();
    BglParking noRadius = parking(bglNameGate, 1, bglTypeGateSmall, notANumber);
    BglParking noHeading = parking(bglNameGate, 2);
    noHeading.headingDegrees = std::numeric_limits<float>::infinity();
    const auto path =
        writeAirport("EGLL.bgl", airportWith({helipad(egllLatitude, egllLongitude, notANumber),
                                              parkings({noRadius, noHeading, parking(bglNameGate, 3)})}));
    lf_processBGLfile(path);

    EXPECT_EQ(egllStands().size(), 1u);
    EXPECT_TRUE(egllStands().contains("g3"));
    EXPECT_TRUE(hasMessage("Skipped position with radius NAN m in " + path.string()));
    EXPECT_TRUE(messageContains("Skipped position with heading inf at byte "));
    EXPECT_TRUE(messageContains("helipad size nan incorrect (skipped): "));
}

TEST_F(BglDecodingTest, ZeroSizesEndTheSectionOrTheAirport) {
    BglAirport sizeless = airportWith({parkings({parking(bglNameGate, 1)})}, "EHAM");
    sizeless.sizeOverride = 0;
    BglRawRecord empty{0x99, {1, 2}, 0u};
    const BglAirport egll = airportWith({parkings({parking(bglNameGate, 1)})});

    lf_processBGLfile(writeBgl("a.bgl", bglFileWith({sizeless, egll})));
    EXPECT_TRUE(logHas("==>    Warning: decodeSizeAtBoundary returned 0 at o2 = "));
    EXPECT_FALSE(fs::exists(thirdpartyFile("EGLL.xml")));

    const std::size_t logSize = logText().size();
    lf_processBGLfile(writeBgl("b.bgl", bglFileWith({empty, egll})));
    EXPECT_FALSE(fs::exists(thirdpartyFile("EGLL.xml")));
    EXPECT_EQ(logText().size(), logSize);

    BglRawRecord emptySubrecord{0x19, {}, 0u};
    BglHelipad emptyHelipad = helipad(egllLatitude, egllLongitude);
    emptyHelipad.sizeOverride = 0;
    lf_processBGLfile(
        writeAirport("c.bgl", airportWith({emptySubrecord, parkings({parking(bglNameGate, 1)})})));
    lf_processBGLfile(
        writeAirport("d.bgl", airportWith({emptyHelipad, parkings({parking(bglNameGate, 2)})})));
    const std::string log = logText();
    EXPECT_NE(log.find("\n   Warning: decodeSizeAtBoundary returned 0 at o3 = "), std::string::npos);
    EXPECT_NE(log.find("==>    Warning: decodeSizeAtBoundary returned 0 at o3 = "), std::string::npos);
    // Both airports stop before their parking list; a helipad of size 0 holds no fields.
    EXPECT_TRUE(logHas("==>    Warning: helipad of EGLL at byte "));
    EXPECT_FALSE(fs::exists(thirdpartyFile("EGLL.xml")));
}

TEST_F(BglDecodingTest, RecordCapEndsTheSectionAndTheNextOneStarts) {
    // The EHAM airport is the 9000th record of its section, then the 9001st.
    for (const std::size_t before : {8999u, 9000u}) {
        SCOPED_TRACE(before);
        std::vector<BglRecord> many(before, rawRecords(0x99));
        many.push_back(airportWith({parkings({parking(bglNameGate, 1)})}, "EHAM"));
        BglFile file = bglFileWith(std::move(many));
        file.sections.push_back(
            BglSection{bglAirportSectionType, 0x40000, {airportWith({parkings({parking(bglNameGate, 1)})})}});
        lf_processBGLfile(writeBgl("many.bgl", file));

        const bool capped = before == 9000;
        EXPECT_EQ(logHas("==> Error: Maximum loop iterations reached (2) \x97 possible corrupt BGL or "
                         "malformed input.\n"),
                  capped);
        EXPECT_EQ(fs::exists(thirdpartyFile("EHAM.xml")), !capped);
        EXPECT_TRUE(fs::exists(thirdpartyFile("EGLL.xml")));
        fs::remove(thirdpartyFile("EHAM.xml"));
    }
}

TEST_F(BglDecodingTest, SubrecordCapEndsTheAirport) {
    // The parking list is the 9000th subrecord of the airport, then the 9001st.
    for (const std::size_t before : {8999u, 9000u}) {
        SCOPED_TRACE(before);
        std::vector<BglSubrecord> subrecords(before, rawRecords(0x19));
        subrecords.push_back(parkings({parking(bglNameGate, 1)}));
        lf_processBGLfile(writeAirport("many.bgl", airportWith(std::move(subrecords))));

        const bool capped = before == 9000;
        EXPECT_EQ(logHas("==> Error: Maximum loop iterations reached (1) \x97 possible corrupt SIA or "
                         "malformed input\n"),
                  capped);
        EXPECT_EQ(egllStands().size(), capped ? 0u : 1u);
        fs::remove(thirdpartyFile("EGLL.xml"));
    }
}

TEST_F(BglDecodingTest, EachSectionWalksOnlyItsOwnRecords) {
    // An airport and 5000 records in each section: together they would pass the cap of 9000 per section.
    std::vector<BglRecord> first{airportWith({parkings({parking(bglNameGate, 1)})})};
    first.insert(first.end(), 5000, rawRecords(0x99));
    std::vector<BglRecord> second{airportWith({parkings({parking(bglNameGate, 1)})}, "EHAM")};
    second.insert(second.end(), 5000, rawRecords(0x99));
    BglFile file = bglFileWith(std::move(first));
    file.sections.push_back(BglSection{bglAirportSectionType, 0x40000, std::move(second)});
    lf_processBGLfile(writeBgl("two.bgl", file));

    const auto lines = messages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Generated EGLL.xml: 1 position"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Generated EHAM.xml: 1 position"), 1);
    EXPECT_FALSE(logHas("Maximum loop iterations"));
}

TEST_F(BglDecodingTest, ASubsectionNamedByManySectionsIsWalkedOnce) {
    BglFile file = bglFileWith({airportWith({parkings({parking(bglNameGate, 1)})})});
    for (int i = 0; i < 3; ++i) {
        BglSection again;
        again.tableOfSection = 0;
        file.sections.push_back(again);
    }
    const auto path = writeBgl("again.bgl", file);
    lf_processBGLfile(path);

    const auto lines = messages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Generated EGLL.xml: 1 position"), 1);
    EXPECT_TRUE(logHas("==>    Warning: 3 subsection entries of " + path.string() +
                       " name a subsection walked before, skipped\n"));
}

TEST_F(BglDecodingTest, EmptySubsectionsCountTowardTheCapAndTheFileSizeBoundsTheWork) {
    // 9000 empty entries ahead of the one that holds EGLL: its record would be the 9001st item of the
    // section.
    BglFile capped = bglFileWith({airportWith({parkings({parking(bglNameGate, 1)})})});
    capped.sections.front().emptySubsectionsBefore = 9000;
    const auto cappedPath = writeBgl("capped.bgl", capped);
    lf_processBGLfile(cappedPath);
    EXPECT_TRUE(logHas("==> Error: Maximum loop iterations reached (2) "));
    EXPECT_TRUE(logHas("==>    Warning: 9000 subsections of airport section 0 of " + cappedPath.string() +
                       " hold no record"));
    EXPECT_FALSE(fs::exists(thirdpartyFile("EGLL.xml")));

    // Twenty sections name one table of 9000 empty entries: 20 x 9001 steps, in a file of
    // 56 + 20 x 20 + 9000 x 16 = 144456 bytes.
    BglSection emptyTable;
    emptyTable.emptySubsectionsBefore = 8999;
    BglFile shared;
    shared.sections.assign(20, emptyTable);
    for (std::size_t i = 1; i < shared.sections.size(); ++i)
        shared.sections[i].tableOfSection = 0;
    const auto sharedPath = writeBgl("shared.bgl", shared);
    ASSERT_EQ(fs::file_size(sharedPath), 144456u);
    lf_processBGLfile(sharedPath);
    EXPECT_TRUE(
        logHas("==> Error: " + sharedPath.string() + " needs more work than its 144456 bytes can hold"));
}

TEST_F(BglDecodingTest, AFileLargerThanAnyAirportFileIsSkippedUnread) {
    const auto path = writeAirport("huge.bgl", airportWith({parkings({parking(bglNameGate, 1)})}));
    fs::resize_file(path, std::uintmax_t{4} << 30); // 4 GiB declared, a few hundred bytes written
    lf_processBGLfile(path);
    EXPECT_FALSE(fs::exists(thirdpartyFile("EGLL.xml")));
    EXPECT_TRUE(logHas("==>    Warning: " + path.string() + " is larger than "));
}

TEST_F(BglDecodingTest, ATaskHoldsItsFileOnceAndThePreCheckReadsOnlyTheRealSectionTable) {
    // An airport beside 3 MiB of other records: a file whose size is no power of two.
    const auto path =
        writeBgl("large.bgl", bglFileWith({airportWith({parkings({parking(bglNameGate, 1)})}),
                                           BglRawRecord{0x99, std::vector<std::uint8_t>(3 << 20)}}));
    const std::uint64_t size = fs::file_size(path);
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes = lf_readBglBytes(in, size, {});
    EXPECT_EQ(bytes.size(), size);
    EXPECT_EQ(bytes.capacity(), size) << "one buffer of the file's size, never grown";

    // One section of scenery objects whose records hold the value 3 in every word, under a header that
    // declares 20 sections: the table ends where the first section's subsection table begins.
    BglFile objects = bglSceneryObjectsFile();
    objects.sections.front().records.emplace_back(BglRawRecord{0x99, std::vector<std::uint8_t>(400)});
    objects.sectionCountOverride = 20;
    std::vector<std::uint8_t> objectBytes = bglBytes(objects);
    for (std::size_t at = 100; at + 4 <= objectBytes.size(); at += 4)
        std::copy_n(std::array<std::uint8_t, 4>{3, 0, 0, 0}.begin(), 4, objectBytes.begin() + at);
    writeBytes(folder / "objects.bgl", objectBytes);
    EXPECT_FALSE(lf_hasAirportSection(folder / "objects.bgl"));
}

TEST_F(BglDecodingTest, AParkingListKeepsItsWholeEntriesWhenItsEndIsCut) {
    // EGLL: the list's size cuts its second parking in half. EHAM: the second parking counts 3 airline codes
    // and the list ends after the first of them.
    BglParkingList cut =
        parkings({parking(bglNameGate, 1), parking(bglNameGate, 2, bglTypeGateSmall, 20, 60)});
    cut.sizeOverride = 8 + 56 + 28;
    BglParking withCodes = parking(bglNameGate, 2, bglTypeGateSmall, 20, 60);
    withCodes.airlineCodes = {0x4B4C4D, 0x424157, 0x414641};
    BglParkingList codesPast = parkings({parking(bglNameGate, 1), withCodes});
    codesPast.sizeOverride = 8 + 56 + 56 + 4;
    const auto path =
        writeBgl("cut.bgl", bglFileWith({airportWith({cut}), airportWith({codesPast}, "EHAM")}));
    lf_processBGLfile(path);

    for (const std::string code : {"EGLL", "EHAM"}) {
        SCOPED_TRACE(code);
        const auto stands = writtenStands(thirdpartyFile(code + ".xml"));
        EXPECT_EQ(stands.size(), 1u);
        EXPECT_TRUE(stands.contains("g1"));
        EXPECT_TRUE(logHas("==>    Warning: parking list of " + code + " at byte "));
    }
    EXPECT_TRUE(
        logHas(" of " + path.string() + " holds 1 whole parking of the 2 it declares, the rest skipped\n"));
}

TEST_F(BglDecodingTest, AirportsLostToDamagedSizesLeaveALogLine) {
    const BglAirport egll = airportWith({parkings({parking(bglNameGate, 1)})});
    BglFile noSubsections = bglFileWith({egll});
    noSubsections.sections.front().subsectionCountOverride = 0;
    BglFile emptySubsection = bglFileWith({egll});
    emptySubsection.sections.front().subsectionSizeOverride = 0;
    const BglFile recordPastItsSubsection = bglFileWith({BglRawRecord{0x99, {1, 2}, 4000u}, egll});
    BglHelipad endlessHelipad = helipad(egllLatitude, egllLongitude);
    endlessHelipad.sizeOverride = 0xFFFFFFFFu;
    const BglFile helipadPastItsAirport =
        bglFileWith({airportWith({endlessHelipad, parkings({parking(bglNameGate, 1)})})});

    const std::string logged[] = {
        "==>    Warning: airport section 0 of " + writeBgl("a.bgl", noSubsections).string() +
            " names no subsections, skipped\n",
        "==>    Warning: 1 subsection of airport section 0 of " +
            writeBgl("b.bgl", emptySubsection).string() + " holds no record",
        "==>    Warning: record 0x99 at byte ", "==>    Warning: subrecord 0x26 of EGLL at byte "};
    for (const char* name : {"a.bgl", "b.bgl"})
        lf_processBGLfile(folder / name);
    lf_processBGLfile(writeBgl("c.bgl", recordPastItsSubsection));
    lf_processBGLfile(writeBgl("d.bgl", helipadPastItsAirport));
    for (const std::string& line : logged)
        EXPECT_TRUE(logHas(line)) << line;
    EXPECT_TRUE(logHas(" declares 4000 bytes where its subsection holds "));
    EXPECT_TRUE(logHas(" declares 4294967295 bytes where its airport holds "));
}

TEST_F(BglDecodingTest, RecordsTooShortForTheirFieldsAreSkippedAndTheRestStays) {
    // EHAM: a helipad, then a list that declares 3 parkings but holds 1, which stays. EGLL behind it: a
    // helipad record of 16 bytes (its fields need 32), then a parking list.
    BglParkingList claimsMore = parkings({parking(bglNameGate, 1)});
    claimsMore.countOverride = 3;
    const BglAirport eham = airportWith({helipad(52.3, 4.76), claimsMore}, "EHAM");
    const BglRawRecord shortHelipad{bglHelipadId, std::vector<std::uint8_t>(10, 0), std::nullopt};
    const BglAirport egll = airportWith({shortHelipad, parkings({parking(bglNameGate, 7)})});
    const auto path = writeBgl("short.bgl", bglFileWith({eham, egll}));
    lf_processBGLfile(path);

    const auto ehamStands = writtenStands(thirdpartyFile("EHAM.xml"));
    EXPECT_EQ(ehamStands.size(), 2u);
    EXPECT_TRUE(ehamStands.contains("helipad1"));
    EXPECT_TRUE(ehamStands.contains("g1"));
    const auto stands = egllStands();
    ASSERT_EQ(stands.size(), 1u);
    EXPECT_NEAR(stands.at("g7").latitude, egllLatitude, 1e-6);
    EXPECT_TRUE(logHas("==>    Warning: parking list of EHAM at byte "));
    EXPECT_TRUE(logHas("==>    Warning: helipad of EGLL at byte "));
    EXPECT_TRUE(logHas(" of " + path.string() + " cannot hold what it declares, skipped\n"));
}

TEST_F(BglDecodingTest, SubrecordSizesThatAreNoWholeWords) {
    // A name subrecord of 19 bytes: the parking list follows at byte 19, not 16 or 20.
    const BglRawRecord name{0x19, std::vector<std::uint8_t>(13, 'N'), std::nullopt, false};
    BglAirport egll = airportWith({name, parkings({parking(bglNameGate, 4)})});
    lf_processBGLfile(writeBgl(
        "name.bgl", bglFileWith({egll, airportWith({parkings({parking(bglNameGate, 5)})}, "EHAM")})));
    EXPECT_TRUE(egllStands().contains("g4"));
    EXPECT_TRUE(writtenStands(thirdpartyFile("EHAM.xml")).contains("g5"));
}

TEST_F(BglDecodingTest, UnsupportedRecordDependsOnTheSimulator) {
    const BglFile file = bglFileWith({BglRawRecord{bglUnsupportedAirportId, {0, 0, 0, 0, 0, 0}, std::nullopt},
                                      airportWith({parkings({parking(bglNameGate, 1)})})});
    const auto path = writeBgl("scenery/ZZZZ.bgl", file);
    lf_processBGLfile(path);
    EXPECT_TRUE(fs::exists(thirdpartyFile("EGLL.xml")));
    EXPECT_FALSE(messageContains("Not recognised"));

    fs::remove(thirdpartyFile("EGLL.xml"));
    msfs2020Selected = false;
    lf_processBGLfile(path);
    EXPECT_FALSE(fs::exists(thirdpartyFile("EGLL.xml")));
    EXPECT_TRUE(hasMessage("\n==> Not recognised airport " + path.string()));
}

TEST_F(BglDecodingTest, AnAirportLongerThanItsSubsectionEndsThere) {
    BglAirport overlong = airportWith({helipad(egllLatitude, egllLongitude)});
    overlong.sizeOverride = 68 + 36 + 4000;
    lf_processBGLfile(writeAirport("overlong.bgl", overlong));
    EXPECT_TRUE(logHas("   Error: o3="));
    EXPECT_TRUE(logHas("exceeded data buffer size"));
    EXPECT_TRUE(egllStands().contains("helipad1"));
}

TEST_F(BglDecodingTest, TaskErrorsAreLoggedAndThrownOn) {
    // The generated file's folder cannot be made below a file of the same name as its parent.
    fs::remove_all(folder / "airports");
    writeBytes(folder / "airports", {1});
    const auto path = writeAirport("EGLL.bgl", airportWith({parkings({parking(bglNameGate, 1)})}));
    EXPECT_THROW(lf_processBGLfile(path), fs::filesystem_error);
    EXPECT_TRUE(logHas("==> Exception in lf_processBGLfile (std::ex): " + path.string() + " \x97 "));
}

} // namespace
} // namespace kvr::test
