// Fuzz target of the Morlisk protocol import: any bytes as a protocol file. Every
// protocol handed on must be a range of the file's lines that the protocol
// window accepts (any other range ends the program there).
#include "app/import/MKProt_.h"
#include "app/protocol/ProtWin_.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class TCheckingSink : public IProtImportSink {
public:
    void Protocol(const TLines& Lines, int32_t First, int32_t Last) override {
        if (!ValidLineRange(static_cast<int32_t>(Lines.size()), First, Last) || First > Last)
            std::abort();
    }
    void Message(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const TLines lines = SplitTextLines(std::string(reinterpret_cast<const char*>(Data), Size));
    TCheckingSink sink;
    ImportMKProtLines(lines, "f", sink);
    return 0;
}
