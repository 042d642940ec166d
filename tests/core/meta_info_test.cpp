#include "core/meta_info.h"
#include "core/shared_state.h"

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <vector>

namespace kvr {
namespace {

pugi::xml_document lf_parse(const std::string& text) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(text.c_str())) << text;
    return doc;
}

std::string lf_text(const pugi::xml_document& doc) {
    std::ostringstream out;
    doc.save(out, "  ");
    return out.str();
}

TEST(MetaInfo, WriteAndReadRoundTrip) {
    MetaInfo written = gf_makeMetaInfo("12.0.0");
    gf_setSimKind(written, 2);
    pugi::xml_document doc;
    ASSERT_TRUE(gf_writeMetaInfo(doc, written));
    const pugi::xml_document reread = lf_parse(lf_text(doc));
    for (const MetaVariant variant : {MetaVariant::standFile, MetaVariant::learnedFile}) {
        const MetaInfo read = gf_readFileMetaInfo(reread, variant);
        EXPECT_TRUE(read.found);
        EXPECT_TRUE(read.accepted);
        EXPECT_EQ(read.author, "Vantrel");
        EXPECT_EQ(read.version, "12.0.0");
        EXPECT_EQ(read.date, written.date);
        EXPECT_EQ(read.copyright, written.copyright);
        EXPECT_EQ(read.sim, "2024");
    }
}

TEST(MetaInfo, RowsComeInTheirOrderAndTheBlockFirstInRoot) {
    pugi::xml_document doc;
    doc.append_child("root").append_child("liveries");
    MetaInfo meta = gf_makeMetaInfo("1.2.3");
    ASSERT_TRUE(gf_writeMetaInfo(doc, meta));
    meta.version = "1.2.4";
    ASSERT_TRUE(gf_writeMetaInfo(doc, meta)); // a second write replaces the block
    const pugi::xml_node root = doc.child("root");
    EXPECT_EQ(std::string(root.first_child().name()), "meta");
    EXPECT_EQ(std::distance(root.children("meta").begin(), root.children("meta").end()), 1);
    std::vector<std::string> names;
    for (pugi::xml_node info : root.child("meta").children("info"))
        names.emplace_back(info.attribute("name").value());
    EXPECT_EQ(names, (std::vector<std::string>{"author", "version", "date", "copyright", "sim"}));
    EXPECT_EQ(gf_readFileMetaInfo(doc).version, "1.2.4");
    EXPECT_TRUE(root.child("liveries"));
}

TEST(MetaInfo, NewRecordsTakeTodayAndTheSimulatorCode) {
    const int saved = metaSimCode.load();
    metaSimCode = 3;
    const MetaInfo meta = gf_makeMetaInfo("12.0.0");
    metaSimCode = saved;
    EXPECT_EQ(meta.sim, "v56");
    ASSERT_EQ(meta.date.size(), 10u) << meta.date;
    for (std::size_t i = 0; i < meta.date.size(); ++i)
        EXPECT_TRUE(i == 4 || i == 7 ? meta.date[i] == '-'
                                     : std::isdigit(static_cast<unsigned char>(meta.date[i])))
            << meta.date;
    EXPECT_NE(meta.copyright.find("Vantrel"), std::string::npos);
}

TEST(MetaInfo, SimKinds) {
    MetaInfo meta;
    std::string sims;
    for (const int kind : {1, 2, 3, 0}) {
        gf_setSimKind(meta, kind);
        sims += meta.sim + "|";
    }
    EXPECT_EQ(sims, "2020|2024|v56||");
}

TEST(MetaInfo, AcceptanceOfEachVariant) {
    const auto check = [](const std::string& xml, bool found, bool standFile, bool learnedFile) {
        const pugi::xml_document doc = lf_parse(xml);
        const MetaInfo asStand = gf_readFileMetaInfo(doc, MetaVariant::standFile);
        EXPECT_EQ(asStand.found, found) << xml;
        EXPECT_EQ(asStand.accepted, standFile) << xml;
        EXPECT_EQ(gf_readFileMetaInfo(doc, MetaVariant::learnedFile).accepted, learnedFile) << xml;
    };
    check("<root><parameters/></root>", false, false, false);
    check("<root><meta/></root>", false, false, false);
    check(R"(<root><meta><info name="author" value="x"/></meta></root>)", true, true, false);
    check(R"(<root><meta><info name="version" value="11.9.3"/></meta></root>)", true, true, true);
    check(R"(<root><meta><info name="version" value="v11_10_0 beta"/></meta></root>)", true, true, true);
    check(R"(<root><meta><info name="version" value="eleven"/></meta></root>)", true, false, false);
    check(R"(<root><meta><info name="version" value="11.10"/></meta></root>)", true, false, false);
    check(R"(<root><meta><info name="version" value=""/></meta></root>)", true, false, false);
    check(R"(<meta><info name="version" value="12.0.0"/></meta>)", true, true, true);
}

} // namespace
} // namespace kvr
