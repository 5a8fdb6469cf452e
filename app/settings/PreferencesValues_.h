// Every setting of the application in the current user's registry: the keys,
// and each value with its name, default and accepted range. The readers give
// the stored value as it is, also when it lies outside its range: whoever uses
// it clamps it (ClampValue), so a stored choice is never lost by reading it.
// The writers ignore failures.
//
// Not listed here: "quormode" (read by the main window without a default
// written back) and "openedcom" (the set of open serial ports).
#pragma once

#include "app/base/Registry_.h"

#include <cstdint>

// The eight subkeys of the application's key in the current user's hive.
inline constexpr char kRegEnvironment[] = "\\Software\\Meridane\\TessalyMC\\environment";
inline constexpr char kRegPrintProt[] = "\\Software\\Meridane\\TessalyMC\\printprot";
inline constexpr char kRegPrintProtMargins[] =
    "\\Software\\Meridane\\TessalyMC\\printprot\\margins";
inline constexpr char kRegPrintGraphMargins[] =
    "\\Software\\Meridane\\TessalyMC\\printgraph\\margins";
inline constexpr char kRegGraphs[] = "\\Software\\Meridane\\TessalyMC\\graphs";
inline constexpr char kRegCsvExport[] = "\\Software\\Meridane\\TessalyMC\\csvExport";
inline constexpr char kRegEmfExport[] = "\\Software\\Meridane\\TessalyMC\\emfExport";
inline constexpr char kRegPrintPrv[] = "\\Software\\Meridane\\TessalyMC\\printprv";

struct TIntValue {
    const char* Key;
    const char* Name;
    int32_t Default;
    int32_t Min;
    int32_t Max;
};

struct TBoolValue {
    const char* Key;
    const char* Name;
    bool Default;
};

// environment
inline constexpr TBoolValue kAutoConn{kRegEnvironment, "autoconn", true};
inline constexpr TBoolValue kAutoRest{kRegEnvironment, "autorest", true};
inline constexpr TBoolValue kAddRecTree{kRegEnvironment, "addrectree", true};
inline constexpr TBoolValue kDontShowMeAgain{kRegEnvironment, "dontshowmeagain", false};
// A string whose default is the program folder + "Temp\".
inline constexpr char kTempFileDirName[] = "tempfiledir";

// printprot
inline constexpr TIntValue kTextSize{kRegPrintProt, "textsize", 10, 6, 16};
inline constexpr TBoolValue kAutoPrint{kRegPrintProt, "autoprint", false};
inline constexpr TBoolValue kKeepWindow{kRegPrintProt, "keepwindow", false};

// printprot\margins and printgraph\margins: hundredths of a millimetre, or
// thousandths of an inch when "inchunit" is set. A margin beyond a metre (or a
// hundred inches) is no page margin.
inline constexpr int32_t kMarginDefault = 2500;
inline constexpr int32_t kMarginMax = 100000;
struct TMarginValues {
    TIntValue Left;
    TIntValue Top;
    TIntValue Right;
    TIntValue Bottom;
    TBoolValue InchUnit;
};
constexpr TMarginValues MarginValues(const char* Key) {
    return {{Key, "left", kMarginDefault, 0, kMarginMax},
            {Key, "top", kMarginDefault, 0, kMarginMax},
            {Key, "right", kMarginDefault, 0, kMarginMax},
            {Key, "bottom", kMarginDefault, 0, kMarginMax},
            {Key, "inchunit", false}};
}
inline constexpr TMarginValues kProtMarginValues = MarginValues(kRegPrintProtMargins);
inline constexpr TMarginValues kGraphMarginValues = MarginValues(kRegPrintGraphMargins);

// graphs: the 372-byte TGraphDefaults (PreferencesGraph_.h).
inline constexpr char kGraphSettingsName[] = "settings";

// csvExport
inline constexpr TBoolValue kCsvNor{kRegCsvExport, "CSV_NOR", true};
inline constexpr TBoolValue kCsvAver{kRegCsvExport, "CSV_AVER", false};
inline constexpr TBoolValue kCsvSkip{kRegCsvExport, "CSV_SKIP", false};
inline constexpr TIntValue kCsvN{kRegCsvExport, "CSV_N", 2, 2, 1000};
inline constexpr TBoolValue kCsvColRec{kRegCsvExport, "CSV_C_REC", false};
inline constexpr TBoolValue kCsvColDateTime{kRegCsvExport, "CSV_C_DT", true};
inline constexpr TBoolValue kCsvColAw{kRegCsvExport, "CSV_C_AW", true};
inline constexpr TBoolValue kCsvColTemp{kRegCsvExport, "CSV_C_TEMP", true};
inline constexpr TBoolValue kCsvColCond{kRegCsvExport, "CSV_C_COND", false};
inline constexpr TBoolValue kCsvProgInfo{kRegCsvExport, "CSV_C_PROGI", false};
inline constexpr TBoolValue kCsvRedMethod{kRegCsvExport, "CSV_R_REDMETH", false};
inline constexpr TBoolValue kCsvRecInfo{kRegCsvExport, "CSV_R_RECI", false};
inline constexpr TBoolValue kCsvUserInfo{kRegCsvExport, "CSV_R_USERI", false};
inline constexpr TBoolValue kCsvColTitles{kRegCsvExport, "CSV_R_COLTIT", true};

// emfExport
inline constexpr TBoolValue kEmfNumVal{kRegEmfExport, "NumVal", false};
inline constexpr TBoolValue kEmfSerNam{kRegEmfExport, "SerNam", true};
inline constexpr TBoolValue kEmfTitel{kRegEmfExport, "Titel", true};
inline constexpr TBoolValue kEmfScale{kRegEmfExport, "Scale", true};

// printprv
inline constexpr TBoolValue kPrvNumVal{kRegPrintPrv, "NumVal", false};
inline constexpr TBoolValue kPrvSerNam{kRegPrintPrv, "SerNam", true};

// The stored value (its default written back when missing or unreadable).
int32_t ReadValue(IRegistryStore& Registry, const TIntValue& Value);
// V within Value's Min..Max. CSV_N must go through it before it divides.
int32_t ClampValue(const TIntValue& Value, int32_t V);
bool ReadValue(IRegistryStore& Registry, const TBoolValue& Value);

void WriteValue(IRegistryStore& Registry, const TIntValue& Value, int32_t V);
void WriteValue(IRegistryStore& Registry, const TBoolValue& Value, bool V);
