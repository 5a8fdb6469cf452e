#include "app/output/CsvWriter_.h"

#include "app/base/Tools_.h"
#include "app/record/RecordFile_.h"

#include <algorithm>

TProgressSteps::TProgressSteps(int64_t First, int64_t Last, int32_t Steps,
                               std::function<void(int64_t Next)> Moved)
    : FFirst(First), FSpan(std::max<int64_t>(Last - First + 1, 1)), FSteps(std::max(Steps, 1)),
      FMoved(std::move(Moved)) {}

void TProgressSteps::Next(int64_t Index) {
    const int64_t step = std::clamp<int64_t>(Index - FFirst, 0, FSpan) * FSteps / FSpan;
    if (step == FStep)
        return;
    FStep = step;
    if (FMoved)
        FMoved(Index);
}

namespace {

// Lines gathered into blocks of about kBlock bytes, converted and written.
class TLineSink {
public:
    static constexpr std::size_t kBlock = 1 << 20;

    TLineSink(IFile& File, const TCodePageConversion& Convert) : FFile(File), FConvert(Convert) {
        FBuffer.reserve(kBlock + 4096);
    }
    std::string& Buffer() { return FBuffer; }
    // After each complete line.
    bool LineDone() {
        FBuffer += "\r\n";
        return FBuffer.size() < kBlock || Write();
    }
    bool Finish() { return Write() && FFile.Flush(); }

private:
    bool Write() {
        if (FConvert)
            FConvert(FBuffer);
        const bool ok = FFile.WriteAt(FAt, FBuffer.data(), FBuffer.size()) == FBuffer.size();
        FAt += FBuffer.size();
        FBuffer.clear();
        return ok;
    }

    IFile& FFile;
    const TCodePageConversion& FConvert;
    std::string FBuffer;
    uint64_t FAt = 0;
};

bool WriteLines(IFile& File, const TCsvFileArgs& Args) {
    TLineSink sink(File, Args.Convert);
    const TCsvPreview& preview = *Args.Preview;
    for (int32_t row = 1; row < preview.HeaderRows(); ++row) {
        sink.Buffer() += preview.HeaderLine(row);
        if (!sink.LineDone())
            return false;
    }
    const TCsvRange range = ExportRange(Args.Source, Args.Choice.Selection);
    TProgressSteps progress(range.First, range.Last, Args.ProgressSteps, Args.Progress);
    const int32_t step = Args.Choice.Step();
    TCsvLines lines(Args.Source, Args.Choice, range);
    for (int64_t k = range.First; k <= range.Last; k += step) {
        progress.Next(k);
        lines.DataLine(sink.Buffer(), k);
        if (!sink.LineDone())
            return false;
    }
    return sink.Finish();
}

} // namespace

std::string ExportToFile(IFileSystem& Fs, const std::string& FileName, const TCsvFileArgs& Args) {
    const std::string failed =
        Format(sCannotSave, FileName.c_str()) + (Fs.Exists(FileName) ? sPreviousKept : "");
    return WriteBeside(Fs, FileName, [&Args](IFile& F) { return WriteLines(F, Args); })
               ? std::string()
               : failed;
}
