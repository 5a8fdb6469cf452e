// Temporary files of any content restored automatically, every question
// answered Yes: what comes back is consistent, and the files say the same.
// Input: two 32-bit lengths, the sample file, the block file, the chamber-info
// file (the rest).
#include "app/base/LittleEndian_.h"
#include "app/record/TempRestore_.h"
#include "MemFiles.h"
#include "tests/app/support/ScriptedBoxes.h"

namespace {

class TNoInfo : public IInfoBox {
public:
    void ShowInfo(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 8)
        return 0;
    const std::size_t rest = Size - 8;
    const std::size_t samples = std::min<std::size_t>(GetU32(Data), rest);
    const std::size_t blocks = std::min<std::size_t>(GetU32(Data + 4), rest - samples);
    const uint8_t* p = Data + 8;
    TMemFileSystem fs;
    const TTempFileNames names = TempFileNames("", "k", 1, 0);
    fs[names.Samples].assign(p, p + samples);
    fs[names.Blocks].assign(p + samples, p + samples + blocks);
    fs[names.ChamberInfo].assign(p + samples + blocks, Data + Size);

    TTempFiles files(fs);
    TScriptedBoxes boxes;
    boxes.Script = {{mrYes}, {mrYes}};
    TNoInfo info;
    TTempRestoreRequest request;
    request.Names = names;
    request.AutoRestore = true;
    const TTempRestoreOutcome r = OpenTempFiles(files, request, boxes, info);
    if (r.Kind != TTempRestoreOutcome::TKind::Restored || !CheckTempData(r.Data))
        __builtin_trap();
    TRecording again;
    if (!files.ReadData(again) || !CheckTempData(again) ||
        again.Samples.size() != r.Data.Samples.size())
        __builtin_trap();
    return 0;
}
