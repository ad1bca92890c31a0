// The popup menu's copy commands on the main window: the clipboard gets the selected row's cell as GBK text,
// the progress label the notice, also when no row is selected.
#include <gtest/gtest.h>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "tests/support/loopback_server.h"

namespace {

// Wine's clipboard manager holds the clipboard for a moment after every change, to copy it for X: a reader
// waits its turn.
std::string ClipboardText() {
    std::string text;
    bool opened = false;
    for (int attempt = 0; attempt < 100 && !(opened = OpenClipboard(nullptr)); ++attempt) Sleep(10);
    if (!opened) return "(clipboard busy)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Chooses a popup menu entry the way the menu does: a WM_COMMAND with the entry's id.
void Choose(FormWindow& form, int entry) {
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(2000 + entry, 0), 0);
}

TEST(CopyCommands, PutTheSelectedCellOnTheClipboard) {
    LoopbackServer forum(Reply{.status = "404 Not Found"});
    MainWindow window({.address = forum.Url()});
    ASSERT_TRUE(window.Create(nullptr, SW_SHOWNORMAL));
    FormWindow& form = window.form();
    Control list = form[kResultList];
    list.AppendRow({"7", "标题 &amp; 引号\"", "42", "作者", forum.Url("/thread-7-1-1.html")});
    list.AppendRow({"8", "", "", "", ""});

    list.SetSelection(0);
    Choose(form, 0);
    EXPECT_EQ(ClipboardText(), "标题 &amp; 引号\"");
    EXPECT_EQ(form[kProgressLabel].Text(), "复制标题成功");
    Choose(form, 1);
    EXPECT_EQ(ClipboardText(), "42");
    EXPECT_EQ(form[kProgressLabel].Text(), "复制UID成功");
    Choose(form, 2);
    EXPECT_EQ(ClipboardText(), forum.Url("/thread-7-1-1.html"));
    EXPECT_EQ(form[kProgressLabel].Text(), "复制网址成功");

    // A row without a title copies an empty address, and the notice still shows.
    list.SetSelection(1);
    form[kProgressLabel].SetText("");
    Choose(form, 2);
    EXPECT_EQ(ClipboardText(), "");
    EXPECT_EQ(form[kProgressLabel].Text(), "复制网址成功");
}

}  // namespace
