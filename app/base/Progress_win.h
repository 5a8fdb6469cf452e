// TProgressForm ("Import progress"): an MDI child showing the file being
// imported and a progress bar. It frees itself when closed.
#pragma once

#include "app/base/Form_win.h"

#include <string>

class TProgressForm : public TForm {
public:
    // Creates the window, centred in the MDI client, not yet shown.
    static TProgressForm* Create(HWND MDIClient);

    // Label1 := the name without its folder; the window is made as wide as the
    // label needs, at least its minimum. True when that is wider than the minimum.
    bool ShowFileName(const std::string& FileName);
    void SetMax(int32_t Max);
    void SetPosition(int32_t Position);

    HWND Label1() const { return Control(kLabel1); }
    HWND ProgressBar1() const { return Control(kProgressBar1); }

private:
    enum : int { kLabel1 = 100, kProgressBar1 };

    TProgressForm() = default;
    void FormCreate();

    TCloseAction FormClose() override { return TCloseAction::Free; }
    void OnNcDestroy() override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

    bool FCreated = false;
};
