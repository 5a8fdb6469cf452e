// TMDIChildProt: one protocol in an MDI child of the main window, in the
// instrument's fixed-pitch printer layout: a read-only rich text below a tool
// bar with the main window's Save As, Print and Edit Protocol, and a status bar
// with the instrument's interface and the chamber. White while the protocol has
// no file, light yellow once it has one. Its node is under the tree's Protocols
// folder. Its owner (TProtocols) creates it; it frees itself when closed.
#pragma once

#include "app/base/Actions_win.h"
#include "app/base/Form_win.h"
#include "app/main/MdiHost_win.h"
#include "app/tree/TreeModel_.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TMDIChildProt;

// What a protocol window asks of the owner that made it: its activation, its
// tool buttons and hints, and writing its file (whole or not at all).
class IProtWinOwner {
public:
    // Action ids of the main window.
    enum : int {
        kFileSaveAs1 = IMdiHost::kFileSaveAs1,
        kAcPrint = IMdiHost::kAcPrint,
        kAcEditProt = IMdiHost::kAcEditProt,
    };

    virtual void WindowActivated(TMDIChildProt& Window) = 0;
    virtual void FileSaveAs1Execute(TMDIChildProt* Window) = 0;
    virtual void ExecuteFrom(TMDIChildProt& Window, int Id) = 0;
    virtual const char* Hint(int Id) const = 0;
    virtual void WriteFile(const std::string& FileName, const std::vector<uint8_t>& Bytes) = 0;

protected:
    ~IProtWinOwner() = default;
};

class TMDIChildProt : public TForm, public IProtocolWindow {
public:
    enum : int { kRichEdit1 = 100, kToolBar1, kStatusBar1 };

    // A new, empty window in Main's document area; null when it cannot be made.
    static TMDIChildProt* Create(IProtWinOwner& Protocols, IMdiHost& Main);

    HWND RichEdit1() const { return Control(kRichEdit1); }
    HWND ToolBar1() const { return Control(kToolBar1); }
    HWND StatusBar1() const { return Control(kStatusBar1); }

    TTreeNode* Node() const { return FNode; }
    void SetNode(TTreeNode* Node) { FNode = Node; }
    TProtData* ProtData() const;
    // Set by the main window after a successful save.
    bool Saved = false;
    uint32_t Background() const { return FBackground; }

    void SetCaption(const std::string& Caption);
    std::string Caption() const;
    void SetPanels(const std::string& Interface, const std::string& Chamber);

    void AddPrinterText(const uint8_t* Data, int32_t Len, bool Append);
    // The lines First..Last of List; a range outside List ends the program.
    void AddStringlist(const std::vector<std::string>& List, int32_t First, int32_t Last);
    // Sizes the window to its text, at most MaxHeight high; true when the client
    // height changed.
    bool FitToText(int32_t MaxHeight);
    void CaretToStart();
    // Selects the node and sets the main window's protocol actions.
    void FormActivate();

    // Raises std::runtime_error when the file cannot be written.
    void SaveProtocolFile(const std::string& FileName);
    // False after a rejected or damaged file (the message is shown here).
    bool LoadProtocolFile(const std::string& FileName);

    void Show() override;
    void Close() override { TForm::Close(); }

protected:
    TCloseAction FormClose() override;
    bool OnCommand(int Id, int Code, HWND Control) override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;
    void OnNcDestroy() override;

private:
    TMDIChildProt(IProtWinOwner& Protocols, IMdiHost& Main);
    void FormCreate();
    void CreateToolBar();
    void FormResize();
    void SetBackground(uint32_t Color);
    void LimitWidth(int OuterWidth);

    IProtWinOwner& FProtocols;
    IMdiHost& FMain;
    std::unique_ptr<TActionLinks> FActionLinks; // the tool bar follows the main window's actions
    TTreeNode* FNode = nullptr;
    uint32_t FBackground = 0xFFFFFF;
    bool FOwned = false;
};
