#include "recording_window.h"

#include <gtest/gtest.h>

namespace kvr::test {
namespace {

struct Notification {
    int id;
    WORD code;
};

std::vector<Notification> notifications() {
    std::vector<Notification> found;
    for (const auto& m : MessageRecord::instance().of(WM_COMMAND))
        found.push_back({LOWORD(m.wParam), HIWORD(m.wParam)});
    return found;
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ShowWindow(window.get(), SW_SHOW);
        standin::pumpMessages();
        MessageRecord::instance().clear();
    }
    HWND addCombo(int id) {
        HWND combo = childControl(window.get(), L"COMBOBOX", CBS_DROPDOWNLIST, id);
        for (const wchar_t* item : {L"2", L"3", L"40"})
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        return combo;
    }
    TopWindow window;
};

TEST_F(ControlsTest, StateSetFromCodeNeverNotifies) {
    HWND box = childControl(window.get(), L"BUTTON", BS_CHECKBOX, 1);
    HWND combo = addCombo(2);
    HWND edit = childControl(window.get(), L"EDIT", WS_BORDER, 3);
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    CheckDlgButton(window.get(), 1, BST_UNCHECKED);
    CheckDlgButton(window.get(), 1, BST_CHECKED);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"x"));
    SetWindowTextW(edit, L"EHAM");
    EnableWindow(edit, FALSE);
    EnableWindow(edit, TRUE);
    standin::pumpMessages();
    EXPECT_TRUE(notifications().empty());
    EXPECT_EQ(IsDlgButtonChecked(window.get(), 1), BST_CHECKED);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR) << "emptying the list drops the selection";
    wchar_t text[16] = {};
    EXPECT_EQ(GetWindowTextW(edit, text, 16), 4);
    EXPECT_STREQ(text, L"EHAM");
}

TEST_F(ControlsTest, ClickOnACheckBoxNotifiesOnceAndOnlyTheAutoKindTogglesItself) {
    HWND manual = childControl(window.get(), L"BUTTON", BS_CHECKBOX, 11);
    HWND automatic = childControl(window.get(), L"BUTTON", BS_AUTOCHECKBOX, 12);
    ASSERT_TRUE(standin::click(manual));
    ASSERT_TRUE(standin::click(automatic));
    EXPECT_TRUE(notifications().empty()) << "input waits in the queue until the thread pumps";
    standin::pumpMessages();
    const auto sent = notifications();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].id, 11);
    EXPECT_EQ(sent[0].code, BN_CLICKED);
    EXPECT_EQ(sent[1].id, 12);
    EXPECT_EQ(SendMessageW(manual, BM_GETCHECK, 0, 0), BST_UNCHECKED)
        << "BS_CHECKBOX leaves the mark to the program";
    EXPECT_EQ(SendMessageW(automatic, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(MessageRecord::instance().of(WM_COMMAND)[0].lParam, reinterpret_cast<LPARAM>(manual));
}

TEST_F(ControlsTest, ChoosingAComboItemNotifiesSelChangeAlsoForTheSelectedOne) {
    HWND combo = addCombo(21);
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    ASSERT_TRUE(standin::chooseComboItem(combo, 2));
    standin::pumpMessages();
    std::vector<WORD> codes;
    for (const auto& n : notifications())
        codes.push_back(n.code);
    EXPECT_EQ(codes, (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    ASSERT_TRUE(standin::chooseComboItem(combo, 0));
    standin::pumpMessages();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    wchar_t text[8] = {};
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text)), 2);
    EXPECT_STREQ(text, L"40");
    EXPECT_FALSE(standin::chooseComboItem(window.get(), 0)) << "only combo boxes have items to choose";
    EXPECT_EQ(standin::comboItems(combo), (std::vector<std::string>{"2", "3", "40"}));
}

TEST_F(ControlsTest, DisabledControlsAndControlsOfDisabledParentsTakeNoInput) {
    HWND button = childControl(window.get(), L"BUTTON", BS_DEFPUSHBUTTON, 31);
    HWND combo = addCombo(32);
    HWND edit = childControl(window.get(), L"EDIT", WS_BORDER, 33);
    EnableWindow(button, FALSE);
    EnableWindow(combo, FALSE);
    EnableWindow(edit, FALSE);
    EXPECT_FALSE(standin::click(button));
    EXPECT_FALSE(standin::chooseComboItem(combo, 1));
    EXPECT_FALSE(standin::typeText(edit, "abc"));
    EnableWindow(button, TRUE);
    ASSERT_TRUE(standin::click(button));
    EnableWindow(button, FALSE); // disabled before the input reaches it
    EnableWindow(edit, TRUE);
    EnableWindow(window.get(), FALSE);
    EXPECT_FALSE(standin::typeText(edit, "abc"));
    standin::pumpMessages();
    EXPECT_TRUE(notifications().empty());
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST_F(ControlsTest, TypingReachesTheEditBoxCharacterByCharacterWithCapitalsAndSigns) {
    HWND edit = childControl(window.get(), L"EDIT", WS_BORDER, 41);
    ASSERT_TRUE(standin::typeText(edit, "D:\\MSFS ab1é"));
    standin::pumpMessages();
    wchar_t text[32] = {};
    GetWindowTextW(edit, text, 32);
    EXPECT_STREQ(text, L"D:\\MSFS ab1\u00e9");
    int changes = 0;
    for (const auto& n : notifications())
        changes += n.code == EN_CHANGE;
    EXPECT_EQ(changes, 12);
    standin::pressKey(edit, VK_BACK);
    standin::pressKey(edit, VK_RETURN);
    standin::pumpMessages();
    EXPECT_EQ(GetWindowTextLengthW(edit), 11) << "backspace removes one character, Enter adds none";
}

WNDPROC previousEditProc = nullptr;
std::vector<WPARAM> charsSeenBySubclass;

LRESULT CALLBACK subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) {
        charsSeenBySubclass.push_back(wParam);
        if (wParam == 13)
            return 0;
    }
    return CallWindowProcW(previousEditProc, hwnd, message, wParam, lParam);
}

TEST_F(ControlsTest, SubclassedEditSeesEveryCharacterFirstAndPassesTheRestOn) {
    HWND edit = childControl(window.get(), L"EDIT", WS_BORDER, 51);
    const auto classProc = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    previousEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(previousEditProc), classProc);
    charsSeenBySubclass.clear();
    standin::typeText(edit, "ab");
    standin::pressKey(edit, VK_RETURN);
    standin::pumpMessages();
    EXPECT_EQ(charsSeenBySubclass, (std::vector<WPARAM>{'a', 'b', 13}));
    wchar_t text[8] = {};
    GetWindowTextW(edit, text, 8);
    EXPECT_STREQ(text, L"ab");
}

TEST_F(ControlsTest, ControlsOfAnotherThreadAreSetThroughItsQueue) {
    HWND box = childControl(window.get(), L"BUTTON", BS_CHECKBOX, 61);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
        EnableWindow(box, FALSE);
        done = true;
        PostMessageW(window.get(), WM_NULL, 0, 0);
    });
    MSG msg{};
    while (!done && GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
    worker.join();
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(box));
}

} // namespace
} // namespace kvr::test
