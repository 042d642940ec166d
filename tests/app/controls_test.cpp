#include "app/control_creation.h"
#include "app_fixture.h"
#include "core/utf.h"

#include <set>

namespace kvr::test {
namespace {

class Controls : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SCAN_AIRPORTS.setValue(false); // check marks come from the values at creation
        ALWAYS_ON_TOP.setValue(true);
        ASSERT_TRUE(openWindow());
    }
    static std::string textOf(HWND hwnd) {
        wchar_t buffer[256] = {};
        GetWindowTextW(hwnd, buffer, 256);
        return wide_to_utf8(buffer);
    }
    static RECT rectOf(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

// The controls as the window must show them, written down apart from the program's own table: id, kind,
// row, x, width and list height.
enum class Kind { combo, edit, check, button };
struct ExpectedControl {
    std::uint16_t id;
    Kind kind;
    int row, x, width, listHeight;
    const char* name; // the setting, or the button's caption
};
const ExpectedControl expectedControls[] = {
    {32789, Kind::combo, 119, 5, 105, 80, "SIM_CHOICE"},
    {32788, Kind::edit, 119, 111, 1200, 0, "ALL_INSTALL_PATH"},
    {32798, Kind::check, 147, 5, 12, 0, "SCAN_LIVERIES"},
    {32799, Kind::check, 147, 217, 12, 0, "LIG_AUTOMATIC"},
    {32790, Kind::combo, 147, 323, 175, 300, "AI_PACKAGE_SELECTOR"},
    {32800, Kind::check, 147, 536, 12, 0, "LIG_PRIORITIZE"},
    {32771, Kind::check, 147, 748, 12, 0, "ALWAYS_ON_TOP"},
    {32802, Kind::check, 175, 5, 12, 0, "SCAN_AIRPORTS"},
    {32804, Kind::button, 175, 217, 60, 0, "tblo"},
    {32776, Kind::check, 175, 748, 12, 0, "NAV_LIGHTS_WHILE_PARKED"},
    {32808, Kind::combo, 203, 217, 40, 120, "MATCHING_DEPTH"},
    {32809, Kind::check, 203, 323, 12, 0, "LIGHT_AIRCRAFT"},
    {32810, Kind::check, 203, 430, 12, 0, "HELICOPTERS"},
    {32811, Kind::check, 203, 536, 12, 0, "HIGH_PERF_AIRCRAFT"},
    {32773, Kind::check, 203, 748, 12, 0, "GUID_CHANGES"},
    {32818, Kind::combo, 231, 217, 50, 200, "RANGE"},
    {32819, Kind::check, 231, 323, 12, 0, "AUTO_RANGE"},
    {32820, Kind::combo, 231, 455, 70, 230, "AR_ABOVE_HEIGHT"},
    {32821, Kind::check, 231, 572, 12, 0, "AIRBORNE_ONLY"},
    {32858, Kind::combo, 231, 748, 45, 200, "TIME_SHIFT_DAYS"},
    {32834, Kind::check, 287, 217, 12, 0, "COLLISION_USER_GND"},
    {32833, Kind::check, 287, 323, 12, 0, "COLLISION_USER_AIR"},
    {32835, Kind::check, 287, 430, 12, 0, "COLLISION_LIVE_PARKED_GND"},
    {32861, Kind::check, 259, 652, 12, 0, "SIM_TIME"},
    {32859, Kind::combo, 259, 748, 45, 200, "TIME_SHIFT_HOURS"},
    {32828, Kind::edit, 259, 107, 100, 0, "BLOCK_CALLSIGN"},
    {32829, Kind::button, 257, 223, 60, 0, "Unblock"},
    {32830, Kind::button, 257, 305, 60, 0, "cs->oid:"},
    {32831, Kind::combo, 259, 375, 100, 300, "CALLSIGN_2_OBJECTID"},
    {32832, Kind::button, 257, 576, 60, 0, "Block"},
    {32862, Kind::check, 287, 652, 12, 0, "KEEP_SIM_TIME_PAR"},
    {32860, Kind::combo, 287, 748, 45, 300, "TIME_SHIFT_MINS"},
    {32847, Kind::button, 313, 111, 45, 0, "Now"},
    {32848, Kind::combo, 315, 323, 55, 144, "MAX_PARK_SEL"},
    {32849, Kind::combo, 315, 536, 55, 144, "MAX_LIVE_SEL"},
    {32839, Kind::edit, 343, 217, 50, 0, "DESTINATION"},
    {32840, Kind::combo, 343, 353, 45, 144, "AIRP_RANGE"},
    {32841, Kind::combo, 343, 566, 70, 230, "AIRP_HEIGHT"},
    {32855, Kind::check, 315, 652, 12, 0, "STRAIGHT_PBS_ONLY"},
    {32851, Kind::check, 371, 5, 12, 0, "INITIAL_LOAD_ONLY"},
    {32853, Kind::check, 371, 71, 12, 0, "WEEK"},
    {32852, Kind::check, 371, 151, 12, 0, "PARK_SOFT"},
    {32850, Kind::combo, 371, 323, 50, 200, "parking_percentage"},
    {32854, Kind::combo, 371, 566, 60, 300, "MAX_FIT_FL"},
    {32856, Kind::check, 371, 667, 12, 0, "RT_PARKTRAFFIC_ONLY"},
    {32838, Kind::button, 341, 758, 90, 0, "Re-read"},
    {32857, Kind::button, 369, 758, 90, 0, "Flush static"},
};

TEST_F(Controls, FortySevenControlsInTableOrderWithTheirIdsPlacesAndSizes) {
    ASSERT_EQ(std::size(expectedControls), 47u);
    std::set<HWND> found;
    for (const ExpectedControl& expected : expectedControls) {
        SCOPED_TRACE(expected.name);
        HWND hwnd = GetDlgItem(window(), expected.id);
        ASSERT_NE(hwnd, nullptr);
        found.insert(hwnd);
        const RECT r = rectOf(hwnd);
        EXPECT_EQ(r.left, expected.x);
        switch (expected.kind) {
        case Kind::combo: {
            EXPECT_EQ(r.top, expected.row - 5);
            EXPECT_EQ(r.right - r.left, expected.width);
            // The height given at creation holds the closed field and the dropped list below it.
            RECT dropped{};
            SendMessageW(hwnd, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            EXPECT_EQ((r.bottom - r.top) + (dropped.bottom - dropped.top), expected.listHeight);
            // The scroll bar style goes to the dropped list; the box itself reports it no longer.
            EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE),
                      static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST));
            EXPECT_TRUE(IsWindowEnabled(hwnd));
            EXPECT_TRUE(standin::comboItems(hwnd).empty());
            break;
        }
        case Kind::check:
            EXPECT_EQ(r.top, expected.row + 2);
            EXPECT_EQ(r.right - r.left, 12);
            EXPECT_EQ(r.bottom - r.top, 12);
            EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE),
                      static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX));
            EXPECT_TRUE(IsWindowEnabled(hwnd));
            EXPECT_EQ(textOf(hwnd), "");
            break;
        case Kind::button:
            EXPECT_EQ(r.top, expected.row);
            EXPECT_EQ(r.bottom - r.top, 20);
            EXPECT_EQ(r.right - r.left, expected.width);
            EXPECT_EQ(textOf(hwnd), expected.name);
            EXPECT_FALSE(IsWindowEnabled(hwnd));
            EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
            break;
        case Kind::edit:
            EXPECT_EQ(r.top, expected.row);
            EXPECT_EQ(r.bottom - r.top, 16);
            EXPECT_EQ(r.right - r.left, expected.width);
            EXPECT_FALSE(IsWindowEnabled(hwnd));
            EXPECT_EQ(textOf(hwnd), "");
            break;
        }
    }
    EXPECT_EQ(found.size(), 47u);
    // Creation order is the order of the parent's children, which is also the tab order.
    const auto& table = gf_controlTable();
    ASSERT_EQ(table.size(), 47u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].control->controlId, expectedControls[i].id) << i;
        EXPECT_EQ(table[i].control->windowHandle.load(), GetDlgItem(window(), expectedControls[i].id));
    }
}

// On a display of another DPI every place and size is the one at 96 DPI times DPI/96, to the nearest pixel
// (a half rounds up): the controls, the client area, the painted texts and panes, and the font.
class ControlsAtDpi : public MainWindowTest {
protected:
    void TearDown() override {
        standin::setDisplayDpi(96);
        MainWindowTest::TearDown();
    }
    static RECT rectOf(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static int at(int dpi, int length) { return (2 * length * dpi + 96) / 192; }
    RECT client() const {
        RECT r{};
        GetClientRect(window(), &r);
        return r;
    }
    // Every control at its place and size for the DPI, from the table written down above.
    void expectControlsAt(int dpi) const {
        for (const ExpectedControl& expected : expectedControls) {
            SCOPED_TRACE(expected.name);
            const RECT r = rectOf(GetDlgItem(window(), expected.id));
            const int top = expected.kind == Kind::combo   ? expected.row - 5
                            : expected.kind == Kind::check ? expected.row + 2
                                                           : expected.row;
            const int height = expected.kind == Kind::check ? 12 : expected.kind == Kind::button ? 20 : 16;
            EXPECT_EQ(r.left, at(dpi, expected.x));
            EXPECT_EQ(r.top, at(dpi, top));
            EXPECT_EQ(r.right - r.left, at(dpi, expected.kind == Kind::check ? 12 : expected.width));
            if (expected.kind != Kind::combo) {
                EXPECT_EQ(r.bottom - r.top, at(dpi, height));
                continue;
            }
            // The closed field grows with the font (24 pixels in the System font); the list takes the rest.
            EXPECT_EQ(r.bottom - r.top, at(dpi, 24));
            RECT dropped{};
            SendMessageW(GetDlgItem(window(), expected.id), CB_GETDROPPEDCONTROLRECT, 0,
                         reinterpret_cast<LPARAM>(&dropped));
            EXPECT_EQ((r.bottom - r.top) + (dropped.bottom - dropped.top), at(dpi, expected.listHeight));
        }
    }
    static const standin::DrawnText* drawn(HWND hwnd, const std::string& text) {
        static std::vector<standin::DrawnText> texts;
        texts = standin::drawnTexts(hwnd);
        for (const standin::DrawnText& t : texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
};

TEST_F(ControlsAtDpi, At144TheClientAreaAndEveryControlAreOneAndAHalfTimesAsLarge) {
    standin::setDisplayDpi(144);
    ASSERT_TRUE(openWindow());
    EXPECT_EQ(client().right, 1320);
    EXPECT_EQ(client().bottom, 714);
    expectControlsAt(144);
    repaint();
    // "Scan for liveries" at (25, 147): (37.5, 220.5) rounds to (38, 221).
    const standin::DrawnText* label = drawn(window(), "Scan for liveries");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x, 38);
    EXPECT_EQ(label->y, 221);
    // The message line (0, 448)-(880, 476) is green from y 672 to 713; the traffic pane above it black.
    EXPECT_EQ(standin::clientPixel(window(), 1300, 672), RGB(50, 205, 50));
    EXPECT_EQ(standin::clientPixel(window(), 1300, 671), RGB(0, 0, 0));
    // The text is drawn in a font one and a half times as high as the System font's 16 pixels.
    HDC dc = GetDC(SIM_CHOICE.windowHandle);
    SIZE at96{};
    GetTextExtentPoint32W(dc, L"MSFS 2020", 9, &at96);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(SIM_CHOICE.windowHandle, WM_GETFONT, 0, 0)));
    SIZE at144{};
    GetTextExtentPoint32W(dc, L"MSFS 2020", 9, &at144);
    ReleaseDC(SIM_CHOICE.windowHandle, dc);
    EXPECT_NEAR(at144.cx, 1.5 * at96.cx, 2);
}

// The window moves onto a display of 192 DPI and back: Windows sends WM_DPICHANGED with the place it
// suggests.
TEST_F(ControlsAtDpi, DpiChangedLaysTheWindowOutAgain) {
    ASSERT_TRUE(openWindow());
    expectControlsAt(96);
    standin::setDisplayDpi(192);
    RECT suggested{100, 50, 1860, 1082};
    SendMessageW(window(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RECT outer{};
    GetWindowRect(window(), &outer);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 50);
    EXPECT_EQ(client().right, 1760);
    EXPECT_EQ(client().bottom, 952);
    expectControlsAt(192);
    standin::pumpMessages();
    const standin::DrawnText* version = drawn(window(), "Vantrel");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->x, 780);
    EXPECT_EQ(version->y, 14);

    standin::setDisplayDpi(96);
    suggested = RECT{100, 50, 980, 566};
    SendMessageW(window(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(client().right, 880);
    EXPECT_EQ(client().bottom, 476);
    expectControlsAt(96);
}

TEST_F(Controls, CheckMarksFollowTheValuesAtCreation) {
    EXPECT_EQ(IsDlgButtonChecked(window(), SCAN_LIVERIES.controlId), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(window(), SCAN_AIRPORTS.controlId), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(window(), ALWAYS_ON_TOP.controlId), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(window(), AIRBORNE_ONLY.controlId), BST_UNCHECKED);
}

TEST_F(Controls, EditBoxesAreSubclassedAndKeepTheirOwnProcedure) {
    for (ControlStringParameter* edit : {&ALL_INSTALL_PATH, &BLOCK_CALLSIGN, &DESTINATION}) {
        const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit->windowHandle, GWLP_WNDPROC));
        EXPECT_NE(edit->previousWindowProc, nullptr);
        EXPECT_NE(current, edit->previousWindowProc);
    }
    EXPECT_EQ(GetWindowLongPtrW(BLOCK_CALLSIGN.windowHandle, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(lf_callsignEditProc));
    // Typing still reaches the box through the subclass.
    EnableWindow(BLOCK_CALLSIGN.windowHandle, TRUE);
    ASSERT_TRUE(standin::typeText(BLOCK_CALLSIGN.windowHandle, "klm1"));
    standin::pumpMessages();
    EXPECT_EQ(textOf(BLOCK_CALLSIGN.windowHandle), "klm1");
}

TEST_F(Controls, TextServicesWriteIntoTheControlAndLogWhatTheyCannotDo) {
    BLOCK_CALLSIGN.setValue("KLM1234");
    gf_showControlText(BLOCK_CALLSIGN);
    EXPECT_EQ(textOf(BLOCK_CALLSIGN.windowHandle), "KLM1234");
    RANGE.setValue(65);
    gf_showControlNumber(RANGE);
    EXPECT_EQ(textOf(RANGE.windowHandle), "")
        << "a drop-down list refuses a text: it shows its selected entry";

    DESTINATION.setValue("bad\xff");
    gf_showControlText(DESTINATION);
    EXPECT_EQ(textOf(DESTINATION.windowHandle), "");
    gf_showControlText(MSFS_INSTALL_PATH); // a setting without a control
    const std::string log = logText();
    EXPECT_NE(log.find("utf8_to_wide failed for 'bad\xff': utf8_to_wide: invalid UTF-8\n"),
              std::string::npos);
    EXPECT_NE(log.find("GetDlgItem failed for ID 0\n"), std::string::npos);

    controlParentHandle = nullptr; // as after a session reset, before the window sees its next message
    gf_showControlText(BLOCK_CALLSIGN);
    EXPECT_NE(logText().find("GetDlgItem failed for ID 32828\n"), std::string::npos);
}

TEST_F(Controls, CheckSettingSavesSetsTheMarkAndNotifiesNobody) {
    gf_setCheckSetting(SCAN_AIRPORTS, true);
    EXPECT_TRUE(SCAN_AIRPORTS.value());
    EXPECT_EQ(storedValue("SCAN_AIRPORTS"), "true");
    EXPECT_EQ(IsDlgButtonChecked(window(), SCAN_AIRPORTS.controlId), BST_CHECKED);
    gf_setCheckSetting(SCAN_AIRPORTS, false);
    EXPECT_EQ(IsDlgButtonChecked(window(), SCAN_AIRPORTS.controlId), BST_UNCHECKED);
    EXPECT_EQ(storedValue("SCAN_AIRPORTS"), "false");
}

TEST_F(Controls, EnablingAndTheControlsAreaGoThroughTheWindow) {
    gf_enableControl(nowButton);
    EXPECT_TRUE(IsWindowEnabled(nowButton.windowHandle));
    EXPECT_TRUE(gf_isControlEnabled(nowButton));
    gf_disableControl(nowButton);
    EXPECT_FALSE(gf_isControlEnabled(nowButton));
    standin::pumpMessages();
    gf_invalidateControlsArea();
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window(), &update, FALSE));
    EXPECT_EQ(update.top, 112);
    EXPECT_EQ(update.bottom, 392);
}

TEST_F(Controls, ScreenAreasInvalidateTheirRectangles) {
    standin::pumpMessages();
    gf_showMessage("hello");
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window(), &update, FALSE));
    EXPECT_EQ(update.top, 448);
    EXPECT_EQ(update.bottom, 476);
    standin::pumpMessages();
    gf_invalidateArea(ScreenArea::rtLamp);
    ASSERT_TRUE(GetUpdateRect(window(), &update, FALSE));
    EXPECT_EQ(update.left, 425);
    EXPECT_EQ(update.right, 453);
}

} // namespace
} // namespace kvr::test
