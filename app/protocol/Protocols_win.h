// The main window's protocols: windows opened for the protocol events of the
// instruments and for protocol files, their nodes under the tree's Protocols
// folder, and the actions Save As, Print and Edit Protocol that the protocol
// windows' tool bars show. The program creates one beside the main window.
#pragma once

#include "app/protocol/EditProtocolForm_win.h"
#include "app/protocol/ProtWin_win.h"
#include "common/LinkIndex.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class IMdiHost;

// Prints a protocol window's text; the printing of the program implements it.
class IProtocolPrinter {
public:
    // Raises an exception when printing fails.
    virtual void PrintProtocol(TMDIChildProt& Window) = 0;

protected:
    ~IProtocolPrinter() = default;
};

inline constexpr char sCannotSaveDocument[] = "Cannot save document! %s";
inline constexpr char sProtocolFilter[] = "Tessaly protocol (*.zqp)|*.zqp";

class TProtocols : public IProtWinOwner {
public:
    // Asks for a file name to save to, FileName proposed; false when cancelled.
    using TSaveDialog = std::function<bool(std::string& FileName)>;

    explicit TProtocols(IMdiHost& Main);
    TProtocols(const TProtocols&) = delete;
    TProtocols& operator=(const TProtocols&) = delete;

    // A protocol window with Title, the printer bytes Data (Len of them) and,
    // when AddToTree, its node; printed and closed again when the preferences
    // say so. Null when it could not be made or was closed.
    TMDIChildProt* NewProtocolWindow(const std::string& Title, int32_t Chamber,
                                     TDevIndex DeviceIndex, const uint8_t* Data, int32_t Len,
                                     bool AddToTree);
    // A window for the protocol file FileName (the ".zqp" of the documents);
    // null when the file was rejected.
    TMDIChildProt* OpenProtocolFile(const std::string& FileName);

    // Save As for Window (null: the selected protocol's).
    void FileSaveAs1Execute(TMDIChildProt* Window = nullptr) override;
    void AcPrintExecute(TMDIChildProt* Sender = nullptr);
    void AcEditProtExecute();

    void SetPrinter(IProtocolPrinter* Printer);
    void SetSaveDialog(TSaveDialog Dialog) { FSaveDialog = std::move(Dialog); }
    TEditProtForm& EditProtForm() { return FEditProtForm; }

    void WindowActivated(TMDIChildProt& Window) override;
    void ExecuteFrom(TMDIChildProt& Window, int Id) override;
    const char* Hint(int Id) const override;
    void WriteFile(const std::string& FileName, const std::vector<uint8_t>& Bytes) override;

private:
    TMDIChildProt* SelectedWindow() const;
    bool RunSaveDialog(std::string& FileName);

    IMdiHost& FMain;
    TEditProtForm FEditProtForm;
    IProtocolPrinter* FPrinter = nullptr;
    TSaveDialog FSaveDialog;
};
