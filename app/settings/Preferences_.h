// The preferences of the application: one holder, created at start, whose held
// values the rest of the program reads in memory (never the registry). It loads
// them from the registry, checks the temporary-files folder, selects the
// standard printers and stores them again when the preferences are accepted.
#pragma once

#include "app/base/MsgDlg_.h"
#include "app/base/Registry_.h"
#include "app/settings/PreferencesGraph_.h"
#include "app/settings/PrinterSetup_.h"

#include <cstdint>
#include <memory>
#include <string>

inline constexpr char sTempDirNotExist[] =
    "Temporary directory not exist!\r\nTemporary directory set to: %s";
inline constexpr char sTempDirNotCreated[] =
    "Temporary directory %s cannot be created!\r\nTemporary directory set to: %s";

// Page margins: thousandths of an inch when InchUnit, else hundredths of a millimetre.
struct TPageMargins {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool InchUnit = false;
    bool operator==(const TPageMargins&) const = default;
};

// Dir with a trailing backslash added when it has none.
std::string IncludeTrailingBackslash(std::string Dir);

enum class TPrintKind { Protocol, Graph };

// What the preferences need of the platform besides the registry, the message
// boxes and the printer.
class IPrefPlatform {
public:
    // The program file's folder, with a trailing backslash.
    virtual std::string ProgramDir() = 0;
    virtual bool DirectoryExists(const std::string& Dir) = 0;
    // Creates one folder level; false when it cannot.
    virtual bool CreateDir(const std::string& Dir) = 0;
    // The platform's folder for temporary files, with a trailing backslash.
    virtual std::string SystemTempDir() = 0;
    // True when the user's measurement system is U.S. (inches).
    virtual bool IsInchLocale() = 0;

protected:
    ~IPrefPlatform() = default;
};

class TPreferences {
public:
    TPreferences(IRegistryStore& Registry, IMessageBoxes& Boxes, IPrefPlatform& Platform,
                 IPrinterObject& Printer, ISetupFiles& Files);
    TPreferences(const TPreferences&) = delete;
    TPreferences& operator=(const TPreferences&) = delete;

    // At start: the printing and environment values, the temporary folder
    // (silently corrected), the printers and margins, the graph defaults.
    void Load();
    // On accepting the preferences: the held values to the registry, the
    // temporary folder checked (with a message) before it is written.
    void Store();
    // The held graph defaults alone to the registry.
    void StoreGraphDefaults();

    // Dir, when it exists, with a trailing backslash; otherwise the program
    // folder's "Temp\" (created when missing), with a message when ShowMessage.
    // A folder that cannot be created is reported and the platform's temporary
    // folder used instead.
    void CheckTempDir(std::string& Dir, bool ShowMessage);
    // The program folder's "Temp\".
    std::string DefaultTempDir();

    // The stored margins of a kind in the unit of the user's locale, as the page
    // setup dialog shows them.
    TPageMargins LoadPageMargins(TPrintKind Kind);
    // Writes the held margins of a kind.
    void StorePageMargins(TPrintKind Kind);
    TPageMargins& Margins(TPrintKind Kind) {
        return Kind == TPrintKind::Protocol ? ProtMargins : GraphMargins;
    }

    // Held values.
    int32_t TextSize = 10;  // as stored: clamp it where it is used
    bool AutoPrint = false; // false for the run when the machine has no default printer
    bool KeepWindow = false;
    TPageMargins ProtMargins;
    TPageMargins GraphMargins;
    bool AutoConnect = true;
    bool AddRecTree = true;
    bool AutoRestore = true;
    std::string TempFileDir; // ends with a backslash
    TGraphDefaults GraphDefaults{};
    // Only when the machine has a default printer; printing is hidden otherwise.
    std::unique_ptr<TPrinterSetup> PrinterSetup;
    // Selects the printer of the protocol's or the graph's setup file.
    void LoadPrinterSetup(bool Protocol, const std::string& FileName);

private:
    void LoadPrinters();
    void LoadStandardSetup(TPrintKind Kind);

    IRegistryStore& FRegistry;
    IMessageBoxes& FBoxes;
    IPrefPlatform& FPlatform;
    IPrinterObject& FPrinter;
    ISetupFiles& FFiles;
};

// The one holder of the program, set at start.
extern TPreferences* gPreferences;
