// The about box ("Info"): the program text, the file versions of the libraries
// and the receive-queue size of the last serial connection.
#pragma once

#include "app/base/Form_win.h"
#include "common/WinRes_win.h"

#include <string>
#include <vector>

// The "FileVersion" entry of the string table 040904E4 of FileName's version
// resource; the file is found as the platform finds libraries. Empty when the
// file, its resource or the entry is missing.
std::string GetFileVersionText(const std::string& FileName);

class TAboutBox : public TForm {
public:
    // Created once at program start; Libraries are the files whose versions it shows.
    explicit TAboutBox(HWND Owner,
                       std::vector<std::string> Libraries = {"QuorxComDll.dll", "Proflink.dll"});

    // Shows the box modally, centred on its owner.
    int Execute(int32_t RxQueueSize);

    HWND Memo1() const { return Control(kMemo1); }
    HWND Memo2() const { return Control(kMemo2); }
    HWND Memo4() const { return Control(kMemo4); }
    HWND OKButton() const { return Control(kOKButton); }

private:
    enum : int {
        kPanel = 100,
        kImage1,
        kLinkLabel,
        kLogo,
        kMemo1,
        kMemo2,
        kMemo4,
        kOKButton,
    };

    void FormCreate();
    void FormShow(int32_t RxQueueSize);
    void Image1Click();

    bool OnCommand(int Id, int Code, HWND Control) override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

    HWND FOwner;
    std::vector<std::string> FLibraries;
    TFontHandle FLogoFont;
};
