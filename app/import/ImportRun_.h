// Files brought in by the Import command or dropped on the tree: sorted into
// four lists by their names, then imported or opened list by list (Morlisk
// logs, Morlisk protocols, protocol files, record files) while the main window
// takes no input. The first error ends the run.
#pragma once

#include "app/base/MsgDlg_.h"

#include <functional>
#include <string>
#include <vector>

inline constexpr char sAskIndividualLogs[] =
    "There are more then one log files to import and they will be concatenated as "
    "standard.\r\nDo you want to import them as individual logs instead?";

struct TImportLists {
    std::vector<std::string> ProtocolFiles; // ".zqp"
    std::vector<std::string> RecordFiles;   // ".zqr"
    std::vector<std::string> MKLogs;        // "*LOG.txt"
    std::vector<std::string> MKProts;       // "*PRO.txt"
};

// A text order that ignores letter case: negative, 0 or positive.
using TNameCompare = std::function<int(const std::string&, const std::string&)>;

// Names sorted by their lower-case copies into the lists (each sorted by
// Compare); others, tree files among them, are dropped. Names keep their case.
TImportLists SortImportFiles(const std::vector<std::string>& Names, const TNameCompare& Compare);

// What the run does with each file; each may raise.
class IImportActions {
public:
    // First: the log starts a record; Last: the record is complete with it.
    virtual void ImportMKLog(const std::string& FileName, bool First, bool Last) = 0;
    virtual void ImportMKProt(const std::string& FileName) = 0;
    virtual void LoadFile(const std::string& FileName) = 0;
    // The main window takes input (true) or not.
    virtual void EnableMainWindow(bool Enable) = 0;

protected:
    ~IImportActions() = default;
};

// The question for two or more logs: true (join them) unless Yes was pressed.
bool AskIndividualLogs(IMessageBoxes& Boxes);

// Every list in the fixed order with the main window disabled, which is enabled
// again also when an error ends the run; the error goes on to the caller.
void RunImport(const TImportLists& Lists, bool Concatenate, IImportActions& Actions);

// Sorts Names, asks (when Ask and two or more logs) whether to join the logs,
// and runs the import.
void ImportFiles(const std::vector<std::string>& Names, bool Ask, bool Concatenate,
                 IImportActions& Actions, IMessageBoxes& Boxes, const TNameCompare& Compare);
