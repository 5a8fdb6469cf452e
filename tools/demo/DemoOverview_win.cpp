// For scripts/demo: opens the overview window of the first instrument in the
// running TessalyMC as a person would, by maximising the main window (so the
// overview fits beside the tree), selecting the instrument in the tree and
// pressing F2. Waits up to 20 s for an instrument to appear; exit code 0 once
// the overview window is there, 1 otherwise.
#include "tests/app/support/ProgramHelpers_win.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <vector>

namespace {

// The first instrument in the tree (the root's first child), or null.
HTREEITEM FirstInstrument(HWND Tree) {
    const std::vector<HTREEITEM> roots = TreeChildren(Tree, nullptr);
    if (roots.empty())
        return nullptr;
    const std::vector<HTREEITEM> instruments = TreeChildren(Tree, roots.front());
    return instruments.empty() ? nullptr : instruments.front();
}

} // namespace

int main() {
    const ULONGLONG until = GetTickCount64() + 20000;
    while (GetTickCount64() < until) {
        const HWND frame = FindWindowA("TMainForm", nullptr);
        const HWND tree = frame ? FindWindowExA(frame, nullptr, WC_TREEVIEWA, nullptr) : nullptr;
        const HWND client = frame ? FindWindowExA(frame, nullptr, "MDICLIENT", nullptr) : nullptr;
        if (client && FindWindowExA(client, nullptr, "TMDIChildOvV", nullptr))
            return 0;
        if (const HTREEITEM instrument = tree ? FirstInstrument(tree) : nullptr) {
            ShowWindow(frame, SW_MAXIMIZE);
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(instrument));
            PostMessageA(tree, WM_KEYDOWN, VK_F2, 1);
            Sleep(400);
        }
        Sleep(100);
    }
    std::fprintf(stderr, "no instrument's overview in TessalyMC within 20 s\n");
    return 1;
}
