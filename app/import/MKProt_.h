// The protocol files of the Morlisk instrument ("*PRO.txt"): one or more
// protocols, each from a line of 40 asterisks to a line "SIG:" and its 8-digit
// signature, which tells an intact protocol from an edited one. The file is read
// as lines; each protocol found is handed on as a range of them.
#pragma once

#include "app/import/TextLines_.h"

#include <cstdint>
#include <span>
#include <string>

inline constexpr char sNoProtocolInFile[] = "No Protocol in file %s!";
inline constexpr char sCorruptProtocolFile[] = "File %s contains corrupt data!";
inline constexpr char sWrongSignature[] = "Protocol in file %s has a wrong signature!";

inline constexpr char kProtStartMark[] = "****************************************";
inline constexpr char kNoEntryMark[] = "* NO ENTRY */";
inline constexpr char kSignatureMark[] = "SIG:";

using TLineSpan = std::span<const std::string>;

// Index of the first line at or after First that holds the start mark; -1 when
// none; -2 when the first line begins with the no-entry mark.
int32_t GetProtStartLine(TLineSpan Lines, int32_t First);
// The 8 characters of the signature of a protocol whose signature line is
// Lines[SigLine] (SigLine >= 2): over every line before the one ahead of it, each
// followed by CR LF.
std::string ProtSignature(TLineSpan Lines, int32_t SigLine);
// The index after the first signature line of Lines, Valid whether its
// signature matches; -1 (Valid false) when there is no signature line or it is
// the last line. Below 5 the protocol is too short to check and Valid is false.
int32_t GetProtEndLine(TLineSpan Lines, bool& Valid);

// What the import of one file brings out.
class IProtImportSink {
public:
    // An intact protocol: Lines[First..Last] of the file's lines, both included.
    virtual void Protocol(const TLines& Lines, int32_t First, int32_t Last) = 0;
    // A message for the user; the import goes on after it or ends as described.
    virtual void Message(const std::string& Text) = 0;

protected:
    ~IProtImportSink() = default;
};

// Every protocol of Lines, the file FileName's lines, in order. A wrong
// signature skips that protocol; corrupt data ends the file.
void ImportMKProtLines(const TLines& Lines, const std::string& FileName, IProtImportSink& Sink);
