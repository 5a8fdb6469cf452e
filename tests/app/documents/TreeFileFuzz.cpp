// libFuzzer target of the tree file reader: any bytes as a tree file, loaded
// into a tree with one chamber while a fake host answers the connection
// question from the input (Retry included). The text written back reads the same.
#include "app/documents/TreeFile_.h"
#include "app/tree/TreeNodes_.h"
#include "tests/support/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace {

class FuzzHost : public ITreeFileHost {
public:
    explicit FuzzHost(FuzzedDataProvider& In) : FIn(In) {}
    int reopens = 0;

    bool CloseChildWindows() override { return true; }
    void DisconnectAll() override {}
    void ScanUsbDevices() override {}
    TReopenAnswer ReopenComPort(int32_t Port) override {
        FuzzRequire(Port >= 1 && Port <= 256, "a serial port");
        ++reopens;
        // Every answer costs input, so Retry cannot go on for ever.
        if (FIn.remaining_bytes() == 0)
            return TReopenAnswer::Stop;
        return FIn.PickValueInArray(
            {TReopenAnswer::Next, TReopenAnswer::Retry, TReopenAnswer::Stop});
    }
    void LoadFile(const std::string&) override {}
    void SetCaption(const std::string&) override {}

private:
    FuzzedDataProvider& FIn;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider in(Data, Size);
    const std::string text = in.ConsumeRandomLengthString(Size);
    const TIniFile ini = TIniFile::Parse(text);
    FuzzRequire(TIniFile::Parse(ini.Text()).Text() == ini.Text(), "written text reads the same");

    TTreeModel tree;
    CreateRootNode(tree, "PC", "user");
    FuzzHost host(in);
    LoadTreeFile(tree, host, ini, "C:\\t.zqd");
    FuzzRequire(host.reopens <= ini.KeyCount("Coms") + static_cast<int>(Size), "bounded reopens");
    return 0;
}
