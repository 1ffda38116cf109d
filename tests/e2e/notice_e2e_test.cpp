// The device-change notice of the real Lidwick.dll as a real message box.
// Needs a display: run under xvfb-run (see tests/wine/with-display).
#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {


struct Box {
    std::string title;
    std::string text;
};

std::vector<Box> g_boxes;

// Reads a message box's title and text as raw bytes and dismisses it.
void ReadAndDismiss(HWND box) {
    char title[256] = "";
    char text[256] = "";
    GetWindowTextA(box, title, sizeof title);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the static text of a message box
    g_boxes.push_back({title, text});
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Wine activates a message box while it is still being built, before its
// text is there, and may activate it more than once; so the box is read a
// moment later, from a timer that its modal loop dispatches.
HWND g_pending_box = nullptr;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (g_pending_box != nullptr) {
        ReadAndDismiss(g_pending_box);
        g_pending_box = nullptr;
    }
}

LRESULT CALLBACK OnCbt(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE && g_pending_box == nullptr) {
        g_pending_box = reinterpret_cast<HWND>(wparam);
        SetTimer(nullptr, 0, 50, OnTimer);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(NoticeEndToEnd, OneBoxPerDeviceChangeAndNoneForOtherMessages) {
    HMODULE plugin = LoadLibraryA(PluginPath().c_str());
    ASSERT_NE(plugin, nullptr);
    auto hook = Entry<WindowsHookProc>(plugin, "TTBEvent_WindowsHook");
    ASSERT_NE(hook, nullptr);
    HHOOK cbt = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    ASSERT_NE(cbt, nullptr);

    hook(0x0219, 0, 0);
    EXPECT_EQ(g_boxes.size(), 1u);
    hook(0x0219, 0x8000, 0x1234);
    EXPECT_EQ(g_boxes.size(), 2u);
    hook(0x0218, 0, 0);
    hook(0x021A, 0, 0);
    hook(0x0000, 0, 0);
    EXPECT_EQ(g_boxes.size(), 2u);

    UnhookWindowsHookEx(cbt);
    FreeLibrary(plugin);
    for (const Box& box : g_boxes) {
        EXPECT_EQ(box.title, "");
        EXPECT_EQ(box.text, Sjis(L"変わった"));
    }
}

// The message box of another process: found by its owner's process id.
struct FindBox {
    DWORD process_id;
    HWND box;
};

BOOL CALLBACK FindBoxOf(HWND window, LPARAM context) {
    auto* find = reinterpret_cast<FindBox*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char window_class[64] = "";
    GetClassNameA(window, window_class, sizeof window_class);
    if (owner == find->process_id && std::string(window_class) == "#32770") {
        find->box = window;
        return FALSE;
    }
    return TRUE;
}

TEST(NoticeEndToEnd, TtbhostNoticeForwardsDeviceChange) {
    g_boxes.clear();
    ProcessResult run = RunTtbhostWhile("--plugin \"" + PluginPath() + "\" notice", [](DWORD pid) {
        // The box blocks ttbhost until dismissed: find it and press OK.
        for (int tries = 0; tries < 200; ++tries) {
            FindBox find = {pid, nullptr};
            EnumWindows(FindBoxOf, reinterpret_cast<LPARAM>(&find));
            // Wait until the box is built and shown, not merely created.
            if (find.box != nullptr && IsWindowVisible(find.box) &&
                GetDlgItem(find.box, 0xFFFF) != nullptr) {
                ReadAndDismiss(find.box);
                return;
            }
            Sleep(50);
        }
    });
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    ASSERT_EQ(g_boxes.size(), 1u) << "no notice box appeared";
    EXPECT_EQ(g_boxes[0].title, "");
    EXPECT_EQ(g_boxes[0].text, Sjis(L"変わった"));
    EXPECT_NE(run.out.find("WM_DEVICECHANGE"), std::string::npos) << run.out;
}

}  // namespace
