#include "core/utf.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::string text = "Amsterdam \xC3\xA9\xE2\x82\xAC \xE5\x8C\x97\xE4\xBA\xAC \xF0\x9F\x9B\xAB";
    const std::wstring wide = utf8_to_wide(text);
    EXPECT_EQ(wide_to_utf8(wide), text);
    if constexpr (sizeof(wchar_t) == 4) {
        EXPECT_EQ(wide.back(), static_cast<wchar_t>(0x1F6EB));
    }
}

TEST(Utf, RefusesMalformedUtf8WithTheExactText) {
    for (const std::string& bad : {std::string("\xC0\xAF"),                // overlong '/'
                                  std::string("\xE0\x80\xAF"),            // overlong, three bytes
                                  std::string("\xED\xA0\x80"),            // encoded surrogate
                                  std::string("\xE2\x82"),                // truncated
                                  std::string("abc\xF0\x9F\x9B"),         // truncated at the end
                                  std::string("\x80"),                    // lone continuation
                                  std::string("\xF4\x90\x80\x80"),        // beyond U+10FFFF
                                  std::string("\xC3\x28")}) {             // bad continuation
        try {
            utf8_to_wide(bad);
            ADD_FAILURE() << "accepted " << testing::PrintToString(bad);
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "utf8_to_wide: invalid UTF-8");
        }
    }
}

TEST(Utf, RefusesLoneSurrogatesInWideText) {
    std::wstring lone;
    lone.push_back(static_cast<wchar_t>(0xD800));
    lone.push_back(L'a');
    try {
        wide_to_utf8(lone);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "wide_to_utf8: invalid UTF-16");
    }
    EXPECT_THROW(wide_to_utf8(std::wstring(1, static_cast<wchar_t>(0xDC00))), std::runtime_error);
}

TEST(Utf, EmptyTextsConvert) {
    EXPECT_EQ(wide_to_utf8(L""), "");
    EXPECT_EQ(utf8_to_wide(""), L"");
}

} // namespace
} // namespace kvr
