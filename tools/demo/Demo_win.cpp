// For scripts/demo: drives the running TessalyMC through its windows as a
// person would.
// - app_demo: maximises the main window, opens the overview of the first
//   instrument (F2 on it in the tree), then the record window of its first
//   chamber (Enter), chooses the sample rate of 1 s, presses Record and Auto
//   Range Time, so that the graph's time axis spans the samples. Waits up to
//   20 s for the instrument and then for five samples in the record window's
//   list; exit code 0 once they are there, 1 otherwise.
// - app_demo close: presses Stop and closes the program, answering No when it
//   asks to save the recording; exit code 0 once the main window is gone.
#include "tests/app/support/ProgramHelpers_win.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kSamples = 5;

// Waits up to TimeoutMs for Done; false when it never was.
bool WaitUntil(ULONGLONG TimeoutMs, const std::function<bool()>& Done) {
    const ULONGLONG until = GetTickCount64() + TimeoutMs;
    while (!Done()) {
        if (GetTickCount64() > until)
            return false;
        Sleep(100);
    }
    return true;
}

HWND Frame() {
    return FindWindowA("TMainForm", nullptr);
}

HWND Child(HWND Parent, const char* ClassName) {
    return Parent ? FindWindowExA(Parent, nullptr, ClassName, nullptr) : nullptr;
}

// The first instrument in the tree (the root's first child), or null.
HTREEITEM FirstInstrument(HWND Tree) {
    const std::vector<HTREEITEM> roots = TreeChildren(Tree, nullptr);
    if (roots.empty())
        return nullptr;
    const std::vector<HTREEITEM> instruments = TreeChildren(Tree, roots.front());
    return instruments.empty() ? nullptr : instruments.front();
}

int Fail(const char* What) {
    std::fprintf(stderr, "app_demo: %s\n", What);
    return 1;
}

int Open() {
    HWND tree = nullptr, client = nullptr;
    HTREEITEM instrument = nullptr;
    const bool overview = WaitUntil(20000, [&] {
        tree = Child(Frame(), WC_TREEVIEWA);
        client = Child(Frame(), "MDICLIENT");
        if (Child(client, "TMDIChildOvV"))
            return true;
        if ((instrument = tree ? FirstInstrument(tree) : nullptr)) {
            ShowWindow(Frame(), SW_MAXIMIZE);
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(instrument));
            PostMessageA(tree, WM_KEYDOWN, VK_F2, 1);
            Sleep(400);
        }
        return false;
    });
    if (!overview)
        return Fail("no instrument's overview in TessalyMC within 20 s");

    const std::vector<HTREEITEM> chambers = TreeChildren(tree, instrument);
    if (chambers.empty())
        return Fail("the instrument has no chamber");
    OpenNode(tree, chambers.front());
    TRecControls rec;
    if (!WaitUntil(5000, [&] { return (rec = FindRecWindow(client)).SampleRate && rec.Record; }))
        return Fail("no record window");
    // The overview above the recorder, each as wide as the document area.
    SendMessageA(client, WM_MDITILE, MDITILE_HORIZONTAL, 0);
    SelectFirstSampleRate(rec);
    PostMessageA(rec.Record, BM_CLICK, 0, 0);
    if (const HWND autoRangeTime = FindWindowExA(rec.Window, nullptr, "Button", "T"))
        PostMessageA(autoRangeTime, BM_CLICK, 0, 0);
    if (!WaitUntil(20000, [&] { return RowCount(rec.List) >= kSamples; }))
        return Fail("no samples in the record window");
    return 0;
}

int Close() {
    const HWND frame = Frame();
    if (!frame)
        return Fail("TessalyMC is not running");
    if (const TRecControls rec = FindRecWindow(Child(frame, "MDICLIENT")); rec.Stop)
        SendMessageA(rec.Stop, BM_CLICK, 0, 0);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    // The recording is not kept.
    const bool closed = WaitUntil(10000, [] {
        if (const HWND box = FindWindowA("TMessageForm", nullptr))
            if (const HWND no = FindWindowExA(box, nullptr, "Button", "&No"))
                PostMessageA(no, BM_CLICK, 0, 0);
        return Frame() == nullptr;
    });
    return closed ? 0 : Fail("TessalyMC did not close");
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "close") == 0)
        return Close();
    return Open();
}
