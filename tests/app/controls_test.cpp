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

TEST_F(Controls, FortySevenControlsInTableOrderWithTheirIdsPlacesAndSizes) {
    const auto& table = gf_controlTable();
    ASSERT_EQ(table.size(), 47u);
    std::vector<HWND> found;
    for (const ControlRow& row : table) {
        HWND hwnd = GetDlgItem(window(), row.control->controlId);
        ASSERT_NE(hwnd, nullptr) << row.control->controlId;
        EXPECT_EQ(row.control->windowHandle.load(), hwnd);
        found.push_back(hwnd);
        const RECT r = rectOf(hwnd);
        EXPECT_EQ(r.left, row.x);
        switch (row.kind) {
        case ControlKind::comboBox:
            EXPECT_EQ(r.top, row.control->rowY - 5);
            EXPECT_EQ(r.right - r.left, row.width);
            // The scroll bar style goes to the dropped list; the box itself reports it no longer.
            EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE),
                      static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST));
            EXPECT_TRUE(IsWindowEnabled(hwnd));
            EXPECT_TRUE(standin::comboItems(hwnd).empty());
            break;
        case ControlKind::checkBox:
            EXPECT_EQ(r.top, row.control->rowY + 2);
            EXPECT_EQ(r.right - r.left, 12);
            EXPECT_EQ(r.bottom - r.top, 12);
            EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE),
                      static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX));
            EXPECT_TRUE(IsWindowEnabled(hwnd));
            EXPECT_EQ(textOf(hwnd), "");
            break;
        case ControlKind::pushButton:
            EXPECT_EQ(r.top, row.control->rowY);
            EXPECT_EQ(r.bottom - r.top, 20);
            EXPECT_EQ(r.right - r.left, row.width);
            EXPECT_EQ(textOf(hwnd), dynamic_cast<ButtonControl*>(row.control)->name());
            EXPECT_FALSE(IsWindowEnabled(hwnd));
            EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
            break;
        case ControlKind::editBox:
            EXPECT_EQ(r.top, row.control->rowY);
            EXPECT_EQ(r.bottom - r.top, 16);
            EXPECT_EQ(r.right - r.left, row.width);
            EXPECT_FALSE(IsWindowEnabled(hwnd));
            EXPECT_EQ(textOf(hwnd), "");
            break;
        }
    }
    // Creation order is the order of the parent's children, which is also the tab order.
    EXPECT_EQ(table[0].control, &SIM_CHOICE);
    EXPECT_EQ(table[46].control, &flushStaticButton);
    EXPECT_EQ(rectOf(ALL_INSTALL_PATH.windowHandle).right - rectOf(ALL_INSTALL_PATH.windowHandle).left, 1200);
    EXPECT_EQ(std::set<HWND>(found.begin(), found.end()).size(), 47u);
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
