// The records of the main window's tree and the routines around them.
//
// Every node of the tree carries one record (TNodeData) whose Kind says what the
// node is: the computer (TPCData), an instrument (TInstrumentData), a chamber
// (TChamberData), the Records folder (TRecNodeData) and its record files
// (TRecData), the Protocols folder (TProtNodeData) and its protocols (TProtData).
// A record refers to its windows through the small interfaces below; it does not
// own them.
//
// Beside them: node kinds, texts and images, the interface index routines
// (GetNodeTypeFromCom, GetInterfaceNameFromCom), SerialPart, IdPart and
// RemoveUnsavedMark. The nodes and their order are in TreeModel_.h, the
// routines on them in TreeNodes_.h.
#pragma once

#include "app/values/ChamberLive_.h"
#include "common/LinkIndex.h"
#include "ProflinkH.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

class IMessageBoxes;

// Node kinds: the first field of every record.
enum : int32_t {
    nkSerialInstrument = 0,
    nkZephoraChamber0 = 1,
    nkZephoraChamber = 2,
    nkRecordsFolder = 3,
    nkRecordFile = 4,
    nkProtocolsFolder = 5,
    nkProtocol = 6,
    nkRoot = 7,
    nkKivanterChamber0 = 8,
    nkKivanterChamber = 9,
    nkUsbInstrument = 10,
    nkZephoraNChamber = 11,
};

bool IsChamberKind(int32_t Kind);    // 1, 2, 8, 9, 11
bool IsInstrumentKind(int32_t Kind); // 0, 10

// Chamber kind of chamber Chamber of an instrument with device id DevId
// ("ZEPHORA", "KIVANTER", "ZEPHORAN"); 0 for an unknown id.
int32_t ChamberKindOf(const std::string& DevId, int32_t Chamber);

// Images of the tree's image list (image and selected image alike).
enum : int32_t {
    imNone = -1,
    imRoot = 0,
    imSerialInstrument = 1,
    imSerialInstrumentLost = 13,
    imUsbInstrument = 21,
    imUsbInstrumentLost = 22,
    imRecordsFolder = 6,
    imRecordFile = 7,
    imProtocolsFolder = 8,
    imProtocol = 9,
    imUnknownChamber = 20,
    // State images of a chamber whose window records.
    imRecordingAbsent = 10,
    imRecording = 12,
};

// Images of column 0 of a record window's sample list, from the same list.
enum : int32_t {
    imRowStop = 11,
    imRowBlockStart = imRecording,
    imRowMark = imSerialInstrumentLost,
    imRowAnalysing = 14,
    imRowStable = 15,
};

int32_t ChamberImage(int32_t Kind, bool Present);
int32_t InstrumentImage(int32_t Kind, bool Connected);
// imRecording or imRecordingAbsent while Recording, else imNone.
int32_t RecordingStateImage(bool Recording, bool Present);

// Texts of the tree.
inline constexpr char sRecords[] = "Records";
inline constexpr char sProtocols[] = "Protocols";
inline constexpr char sChamberName[] = "Chamber %d - %s";
inline constexpr char sErrorIn[] = "Error in %s. %s";
inline constexpr char sNodeNotFound[] = "Node not found";
inline constexpr char sUnsavedMark[] = "* ";

// A fixed text field: its characters up to the first NUL or its end.
template <std::size_t N>
std::string FieldText(const char (&Field)[N]) {
    return std::string(Field, strnlen(Field, N));
}
// Stores at most N - 1 characters of Text, NUL-padded, so the field stays terminated.
template <std::size_t N>
void SetFieldText(char (&Field)[N], const std::string& Text) {
    const std::size_t n = Text.size() < N - 1 ? Text.size() : N - 1;
    std::memcpy(Field, Text.data(), n);
    std::memset(Field + n, 0, N - n);
}

// The windows a record refers to. Each window clears the reference when it closes.
class IChildWindow {
public:
    // Brings the window to the front in its normal state.
    virtual void Show() = 0;
    // Asks the window to close; it may ask questions and refuse.
    virtual void Close() = 0;

protected:
    ~IChildWindow() = default;
};

// The unit choices of a record window: a unit code, or -1 ("From instrument",
// kFromInstrument of PreferencesGraph_.h) for the node's own unit.
struct TUnitOverrides {
    int32_t HumMode = -1;
    int32_t TempUnit = -1;
    int32_t DateFmt = -1;
};

class IRecordWindow : public IChildWindow {
public:
    virtual bool Recording() const = 0;
    // Holds samples or data that are not saved.
    virtual bool Modified() const = 0;
    // Holds at least one sample.
    virtual bool HasSamples() const = 0;
    virtual TUnitOverrides UnitOverrides() const = 0;
    // One measurement event of its chamber while it records: a sample may be
    // taken. Raises what recording raises; the recording is stopped then.
    virtual void AddLiveSample() = 0;
    // Its chamber's live values in its fields and status bar.
    virtual void ShowActualValues() = 0;
    // Follows the units of its node.
    virtual void UpdateUnits() = 0;

protected:
    ~IRecordWindow() = default;
};

class IProtocolWindow : public IChildWindow {
protected:
    ~IProtocolWindow() = default;
};

class IOverviewWindow : public IChildWindow {
public:
    // Shows the instrument's chambers as the tree holds them now (after each
    // measurement event and watchdog pass).
    virtual void UpdateOverview() = 0;

protected:
    ~IOverviewWindow() = default;
};

// One instrument: kinds nkSerialInstrument and nkUsbInstrument.
struct TInstrumentData {
    int32_t Kind = nkSerialInstrument;
    int32_t InterfaceIndex = 0; // 0..511
    char DevId[21] = {};
    TDevUnits Units = {}; // the default units of its chambers
    char DevSWVers[21] = {};
    int32_t SilenceCount = 0; // watchdog ticks since the last measurement
    IOverviewWindow* OverviewWindow = nullptr;
    char DevUser[21] = {};
    int32_t SerialNumber = 0;
    uint16_t UsbProductId = 0; // 0 on a serial link
};

// One chamber: the chamber kinds.
struct TChamberData {
    int32_t Kind = 0;
    int32_t Chamber = 0; // 0..9
    char SWVers[21] = {};
    char IdPart[21] = {};     // the identity text before its first blank
    char SerialPart[21] = {}; // the identity text after it, trimmed
    TChamberLive Live = {};
    TStab Stab = {};
    IRecordWindow* RecordWindow = nullptr;
    std::string RecordFileName; // last saved to or loaded from; empty when none
    char Name[41] = {};         // at most 40 characters
    std::string InfoText;       // lines separated by CR LF
};

// A record loaded from a file: kind nkRecordFile.
struct TRecData {
    int32_t Kind = nkRecordFile;
    IRecordWindow* RecordWindow = nullptr;
    std::string FileName;       // full path
    char InstrumentId[21] = {}; // serial of the record's last block header
    double FileAge = 0;         // the file's packed modification time
    TDevUnits Units = {};       // of the stored record
};

// The Records folder (nkRecordsFolder) and the Protocols folder (nkProtocolsFolder).
struct TRecNodeData {
    int32_t Kind = nkRecordsFolder;
    std::string FileName;
};

struct TProtNodeData {
    int32_t Kind = nkProtocolsFolder;
    std::string FileName;
};

#pragma pack(push, 1)
// The head of a protocol's record as the protocol file stores it (66 bytes).
struct TProtHead {
    int32_t Kind = nkProtocol;
    uint8_t InterfaceIndex = 0; // low 8 bits of the sender's interface index; 255 none
    uint8_t Chamber = 0;        // 0..9; 255 none
    uint8_t Reserved[60] = {};
};

// One dotted field of a protocol, as the protocol file stores it (92 bytes).
struct TEditData {
    uint8_t Label[41]; // length byte, then up to 40 characters
    uint8_t Value[41]; // the same
    int32_t Line;      // 0-based text line
    uint8_t Column;    // 1-based column of the first dot
    uint8_t DotCount;  // the value's longest length
    int32_t CharPos;   // 0-based index of the first dot in the text
};
#pragma pack(pop)
static_assert(sizeof(TProtHead) == 66 && offsetof(TProtHead, InterfaceIndex) == 4 &&
              offsetof(TProtHead, Chamber) == 5 && offsetof(TProtHead, Reserved) == 6);
static_assert(sizeof(TEditData) == 92 && offsetof(TEditData, Line) == 82 &&
              offsetof(TEditData, Column) == 86 && offsetof(TEditData, CharPos) == 88);

using TEditDatas = std::vector<TEditData>;

// A protocol: kind nkProtocol. Its first 66 bytes are the TProtHead.
struct TProtData : TProtHead {
    IProtocolWindow* ProtocolWindow = nullptr;
    std::string FileName; // empty until saved, or when it came from an instrument
    TEditDatas EditDatas;
};

// The computer: kind nkRoot.
struct TPCData {
    int32_t Kind = nkRoot;
    std::string TreeFileName; // the tree file loaded last
};

// A node's record; std::monostate once freed.
using TNodeData = std::variant<std::monostate, TPCData, TInstrumentData, TChamberData, TRecNodeData,
                               TRecData, TProtNodeData, TProtData>;

// The record's kind; -1 without a record.
int32_t NodeKind(const TNodeData& Data);

// Interface indexes (TInterfaceIndex): 0..255 a serial port (COM1 = 0), 256..511 a USB link.
bool IsValidInterfaceIndex(int32_t InterfaceIndex);
// nkSerialInstrument or nkUsbInstrument; any other index ends the program.
int32_t GetNodeTypeFromCom(IMessageBoxes& Boxes, int32_t InterfaceIndex);
// "COM3", "USB1"; "" for -1; any other index ends the program.
std::string GetInterfaceNameFromCom(IMessageBoxes& Boxes, int32_t InterfaceIndex);

// Node texts.
std::string RootText(const std::string& ComputerName, const std::string& UserName);
// Interface name, a blank and the serial number in at least 7 digits: "COM3 0000042".
std::string InstrumentText(IMessageBoxes& Boxes, int32_t InterfaceIndex, int32_t SerialNumber);
// "Chamber 3 - 0012345", cut to the 40 characters of a chamber name.
std::string DefaultChamberName(int32_t Chamber, const std::string& SerialPart);
// Text without the unsaved mark "* " that the program put in front of it.
std::string RemoveUnsavedMark(const std::string& Text);
// The file name Save As proposes for a document without one: Caption without
// the unsaved mark, each of " * / : < > ? \ | made "_" (other characters stay).
std::string ProposedFileName(const std::string& Caption);

// Parts of an instrument's id/serial text "MODEL 0012345": the text after the
// first blank, trimmed (the whole text trimmed without a blank), and the text
// before it (empty without a blank).
void SerialPart(const char (&IdSerial)[21], char (&Serial)[21]);
void IdPart(const char (&IdSerial)[21], char (&Id)[21]);
