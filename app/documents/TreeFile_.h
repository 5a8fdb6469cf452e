// The tree file (".zqd"): which instruments were connected, the names and info
// lines of their chambers and which record and protocol files were open, in a
// profile text (IniFile_.h). The writer builds the whole text from the tree and
// puts it in place of the file in one step; the loader closes and disconnects
// everything, then reconnects and reopens what the file names.
#pragma once

#include "app/documents/IniFile_.h"
#include "app/instruments/OpenPorts_.h"
#include "app/record/Files_.h"
#include "app/tree/TreeModel_.h"

#include <cstdint>
#include <string>

inline constexpr char sTreeFileExt[] = ".zqd";
inline constexpr char sTreeFilter[] = "Tessaly tree (*.zqd)|*.zqd";
inline constexpr char sCannotSaveTree[] = "Cannot save the tree file %s!";

// Sections and keys of the file.
inline constexpr char kComsSection[] = "Coms";
inline constexpr char kFilesSection[] = "Files";
inline constexpr char kInstrumentsSection[] = "Instruments";
inline constexpr char kCountKey[] = "Count";
inline constexpr char kNameKey[] = "Name";

// The file's sections for Tree, nodes in display order, the root skipped:
// instruments by interface index, protocol and record files that have a file of
// their own (no "*" in the node text), chambers by serial part with the name
// and info lines in a section named by the serial part.
TIniFile BuildTreeFile(const TTreeModel& Tree);

// Puts Text in place of FileName through a sibling file that is complete and
// flushed first; a failure leaves an earlier file as it was. Empty on success,
// else the message to show.
std::string WriteTreeFile(IFileSystem& Fs, const std::string& FileName, const std::string& Text);
// Far above any tree; a larger file is no tree file.
inline constexpr uint64_t kMaxTreeFileSize = 16 << 20;
// The file's sections; none when it cannot be read or is larger than kMaxTreeFileSize.
TIniFile ReadTreeFile(IFileSystem& Fs, const std::string& FileName);

// The main window's caption: Title, or "Title [FileName]" once a tree file was loaded.
std::string TreeCaption(const std::string& Title, const std::string& TreeFileName);

// What loading a tree file does outside the tree.
class ITreeFileHost {
public:
    // Closes the document windows one at a time; false when one stays open.
    virtual bool CloseChildWindows() = 0;
    // Disconnects every instrument as the Disconnect command does.
    virtual void DisconnectAll() = 0;
    // Opens, initialises and enters every present USB instrument.
    virtual void ScanUsbDevices() = 0;
    // Opens and checks serial port Port (a device index); on failure the user
    // chooses Abort, Retry or Ignore.
    virtual TReopenAnswer ReopenComPort(int32_t Port) = 0;
    // Opens one document by its extension.
    virtual void LoadFile(const std::string& FileName) = 0;
    virtual void SetCaption(const std::string& Caption) = 0;

protected:
    ~ITreeFileHost() = default;
};

// Replaces the state of the main window by the one Ini holds (the file FileName,
// an absolute name). False, with the caption unchanged, when a window refused
// to close or a node besides the root stayed after disconnecting.
bool LoadTreeFile(TTreeModel& Tree, ITreeFileHost& Host, const TIniFile& Ini,
                  const std::string& FileName);
