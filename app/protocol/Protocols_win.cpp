#include "app/protocol/Protocols_win.h"

#include "app/base/Guard_.h"
#include "app/base/Tools_.h"
#include "app/base/Tools_win.h"
#include "app/main/MdiHost_win.h"
#include "app/protocol/EditProtocolForm_.h"
#include "app/protocol/ProtFile_.h"
#include "app/protocol/ProtTree_.h"
#include "app/protocol/ProtWin_.h"
#include "app/protocol/RichText_win.h"
#include "app/settings/Preferences_.h"

#include <commdlg.h>

#include <cstdio>
#include <stdexcept>

TProtocols::TProtocols(IMdiHost& Main) : FMain(Main), FEditProtForm(Main.Handle()) {
    const auto action = [this](int Id, const char* Caption, auto Execute) {
        FMain.Actions().Add({Id, Caption, {}, false, false, Execute});
    };
    action(kFileSaveAs1, "Save &as...", [this] { FileSaveAs1Execute(); });
    action(kAcPrint, "&Print...", [this] { AcPrintExecute(); });
    action(kAcEditProt, "Edit &Protocol", [this] { AcEditProtExecute(); });
}

TMDIChildProt* TProtocols::NewProtocolWindow(const std::string& Title, int32_t Chamber,
                                             TDevIndex DeviceIndex, const uint8_t* Data,
                                             int32_t Len, bool AddToTree) {
    TMDIChildProt* window = TMDIChildProt::Create(*this, FMain);
    if (!window)
        return nullptr;
    try {
        window->SetCaption(Title);
        window->SetPanels(
            DeviceIndex > 0 ? GetInterfaceNameFromCom(FMain.Boxes(), InterfaceIndexOf(DeviceIndex))
                            : std::string(),
            Chamber < 255 ? Format(sChamberPanel, Chamber) : std::string());
        window->AddPrinterText(Data, Len, false);
        if (AddToTree) {
            TTreeNode* node =
                AddProtTree(FMain.Tree(), FMain.Boxes(), DeviceIndex, Chamber, Title, "", window);
            window->SetNode(node);
            if (node)
                window->SetCaption(node->Text());
        }
        window->FitToText(kProtMaxHeight);
        window->CaretToStart();
        window->FormActivate();
        const bool autoPrint = gPreferences && gPreferences->AutoPrint;
        const bool keepWindow = gPreferences && gPreferences->KeepWindow;
        if (AutoPrintProtocol(FMain.Boxes(), Len, autoPrint && FPrinter, keepWindow,
                              [&] { FPrinter->PrintProtocol(*window); })) {
            window->Close();
            return nullptr;
        }
    } catch (...) {
        ReportCurrentException();
        window->Close();
        return nullptr;
    }
    return window;
}

TMDIChildProt* TProtocols::OpenProtocolFile(const std::string& FileName) {
    const std::string name = ExtractFileName(FileName);
    TMDIChildProt* window =
        NewProtocolWindow(name.substr(0, name.rfind('.')), 0, 0, nullptr, 0, true);
    if (!window)
        return nullptr;
    bool loaded = false;
    try {
        loaded = window->LoadProtocolFile(FileName);
    } catch (...) {
        window->Close();
        throw;
    }
    if (!loaded) {
        window->Close();
        return nullptr;
    }
    window->FormActivate();
    return window;
}

TMDIChildProt* TProtocols::SelectedWindow() const {
    const TTreeNode* node = FMain.Tree().Selected();
    const TProtData* prot = node ? node->As<TProtData>() : nullptr;
    return prot ? static_cast<TMDIChildProt*>(prot->ProtocolWindow) : nullptr;
}

bool TProtocols::RunSaveDialog(std::string& FileName) {
    if (FSaveDialog)
        return FSaveDialog(FileName);
    return RunSaveFileDialog(FMain.Handle(), sProtocolFilter, "zqp", FileName);
}

void TProtocols::FileSaveAs1Execute(TMDIChildProt* Window) {
    TMDIChildProt* window = Window ? Window : SelectedWindow();
    if (!window)
        return;
    const TProtData* prot = window->ProtData();
    std::string fileName =
        prot && !prot->FileName.empty() ? prot->FileName : ProposedFileName(window->Caption());
    if (!RunSaveDialog(fileName))
        return;
    try {
        window->SaveProtocolFile(fileName);
        window->Saved = true;
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FMain.Boxes(), e.what(), false);
    }
}

void TProtocols::AcPrintExecute(TMDIChildProt* Sender) {
    TMDIChildProt* window = Sender ? Sender : SelectedWindow();
    if (!window || !FPrinter)
        return;
    try {
        FPrinter->PrintProtocol(*window);
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FMain.Boxes(), e.what(), false);
    }
}

void TProtocols::AcEditProtExecute() {
    TMDIChildProt* window = SelectedWindow();
    TProtData* prot = window ? window->ProtData() : nullptr;
    if (!prot)
        return;
    if (FEditProtForm.BuildFields(window->RichEdit1(), prot->EditDatas) < 0)
        return;
    if (FEditProtForm.Execute() == mrOk)
        FEditProtForm.ApplyFields(window->RichEdit1(), prot->EditDatas);
    WindowActivated(*window);
}

void TProtocols::SetPrinter(IProtocolPrinter* Printer) {
    FPrinter = Printer;
    FMain.Actions().SetEnabled(kAcPrint, FPrinter != nullptr);
}

void TProtocols::WindowActivated(TMDIChildProt& Window) {
    if (const TProtData* prot = Window.ProtData()) {
        FMain.Tree().Select(Window.Node());
        const bool unsaved = prot->FileName.empty();
        FMain.Actions().SetEnabled(kFileSaveAs1, unsaved);
        FMain.Actions().SetEnabled(kAcEditProt,
                                   unsaved && (!prot->EditDatas.empty() ||
                                               HasFieldMark(RichEditText(Window.RichEdit1()))));
    }
    FMain.Actions().SetEnabled(kAcPrint, FPrinter != nullptr);
}

void TProtocols::ExecuteFrom(TMDIChildProt& Window, int Id) {
    if (Id == kAcPrint) {
        AcPrintExecute(&Window);
        return;
    }
    if (Window.Node())
        FMain.Tree().Select(Window.Node());
    FMain.Actions().Execute(Id);
}

const char* TProtocols::Hint(int Id) const {
    switch (Id) {
    case kFileSaveAs1:
        return "Save As";
    case kAcPrint:
        return "Print";
    case kAcEditProt:
        return "Edit Protocol";
    default:
        return "";
    }
}

void TProtocols::WriteFile(const std::string& FileName, const std::vector<uint8_t>& Bytes) {
    // Written beside the file first, so a failure never leaves a half-written file in its place.
    const std::string temp = FileName + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    bool ok = f != nullptr;
    if (f) {
        ok = std::fwrite(Bytes.data(), 1, Bytes.size(), f) == Bytes.size();
        ok = std::fflush(f) == 0 && ok;
        ok = std::fclose(f) == 0 && ok;
    }
    ok = ok && MoveFileExA(temp.c_str(), FileName.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileA(temp.c_str());
        throw std::runtime_error(Format(sCannotSaveDocument, FileName.c_str()));
    }
}
