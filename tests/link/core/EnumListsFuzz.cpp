// libFuzzer target of the port list and the device path list: a fake set of
// device interfaces made from the fuzzer's bytes (paths and properties of any
// bytes, NULs and backslashes included, unreadable details, failed
// allocations) written into a buffer of exactly the capacity given, so
// AddressSanitizer sees a byte past it. The text, the result and Size are held
// against the list built plainly from the same interfaces.
#include "link/core/QuorxEnum.h"
#include "tests/support/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using TStep = IDeviceEnumerator::TStep;

struct TInterface {
    TStep Step = TStep::End;
    std::string Path, PortName, Description, ParentId, FriendlyName;
};

// A few more than the lists look at, so the bound is reached too.
constexpr int kMostInterfaces = kMaxInterfaces + 4;

std::vector<TInterface> MakeInterfaces(FuzzedDataProvider& In) {
    std::vector<TInterface> all;
    while (static_cast<int>(all.size()) < kMostInterfaces) {
        TInterface it;
        // Running out of bytes ends the set.
        switch (In.ConsumeIntegralInRange<int>(0, 15)) {
        case 0:
            return all;
        case 1:
            it.Step = TStep::Unreadable;
            break;
        case 2:
            it.Step = TStep::NoMemory;
            break;
        default:
            it.Step = TStep::Found;
            it.Path = In.ConsumeRandomLengthString(48);
            it.PortName = In.ConsumeRandomLengthString(16);
            it.Description = In.ConsumeRandomLengthString(16);
            it.ParentId = In.ConsumeRandomLengthString(16);
            it.FriendlyName = In.ConsumeRandomLengthString(16);
        }
        all.push_back(std::move(it));
    }
    return all;
}

class TScriptedEnumerator : public IDeviceEnumerator {
public:
    TScriptedEnumerator(const std::vector<TInterface>& All, bool Opens)
        : FAll(All), FOpens(Opens) {}

    bool Open(const TQuorxGuid&) override {
        FuzzRequire(!FOpen && Closes == 0, "the set is built once");
        FOpen = FOpens;
        return FOpens;
    }
    TStep ReadInterface(int I, std::string& Path) override {
        FuzzRequire(FOpen, "interface read from an open set");
        FuzzRequire(I == FNext++ && I < kMaxInterfaces, "interfaces read in order, within bound");
        FCurrent = nullptr;
        if (static_cast<std::size_t>(I) >= FAll.size())
            return TStep::End;
        const TInterface& it = FAll[static_cast<std::size_t>(I)];
        if (it.Step == TStep::Found) {
            FCurrent = &it;
            Path = it.Path;
        }
        return it.Step;
    }
    std::string ReadProperty(TDeviceProperty Property) override {
        return Current().*(Property == TDeviceProperty::FriendlyName ? &TInterface::FriendlyName
                                                                     : &TInterface::Description);
    }
    std::string ReadPortName() override { return Current().PortName; }
    std::string ReadParentId() override { return Current().ParentId; }
    void Close() override {
        FuzzRequire(FOpen, "only an open set is released");
        FOpen = false;
        ++Closes;
    }

    int Closes = 0;

private:
    const TInterface& Current() const {
        FuzzRequire(FCurrent != nullptr, "properties of a found interface only");
        return *FCurrent;
    }

    const std::vector<TInterface>& FAll;
    const bool FOpens;
    bool FOpen = false;
    int FNext = 0;
    const TInterface* FCurrent = nullptr;
};

std::string UpToNul(const std::string& S) {
    return S.substr(0, S.find('\0'));
}

std::string Line(const TInterface& It, bool ComInfo) {
    if (!ComInfo)
        return It.Path;
    const std::string parent = UpToNul(It.ParentId);
    return UpToNul(It.PortName) + '\t' + UpToNul(It.Description) + '\t' +
           parent.substr(0, parent.find('\\')) + '\t' + UpToNul(It.FriendlyName);
}

struct TExpected {
    TLinkResult Result = 0;
    std::string Text;
    bool Full = false;
};

TExpected Expect(const std::vector<TInterface>& All, bool ComInfo, std::uint32_t Capacity) {
    TExpected e;
    const std::size_t looked = std::min<std::size_t>(All.size(), kMaxInterfaces);
    for (std::size_t i = 0; i < looked; ++i) {
        const TInterface& it = All[i];
        if (it.Step == TStep::Unreadable)
            e.Result = errDevDetail;
        if (it.Step != TStep::Found)
            return e;
        if (it.Path.empty()) {
            e.Result = errEmptyPath;
            return e;
        }
        const std::string add = (e.Text.empty() ? "" : "\r\n") + Line(it, ComInfo);
        if (e.Text.size() + add.size() > Capacity) {
            e.Text += add.substr(0, Capacity - e.Text.size());
            e.Result = errListFull;
            e.Full = true;
            return e;
        }
        e.Text += add;
    }
    return e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider in(Data, Size);
    const bool comInfo = in.ConsumeBool();
    const bool opens = in.ConsumeIntegralInRange<int>(0, 7) != 0;
    const auto capacity = in.ConsumeIntegralInRange<std::uint32_t>(0, 2048);
    const std::vector<TInterface> all = MakeInterfaces(in);

    TScriptedEnumerator enumerator(all, opens);
    const std::unique_ptr<char[]> buf(new char[capacity]);
    std::uint32_t size = capacity;
    const TLinkResult r = comInfo
                              ? WriteComInfoList(enumerator, buf.get(), &size)
                              : WriteDevicePathList(enumerator, kComPortClass, buf.get(), &size);

    FuzzRequire(enumerator.Closes == (opens ? 1 : 0), "the set is released exactly once");
    const TExpected e = opens ? Expect(all, comInfo, capacity) : TExpected{};
    FuzzRequire(r == e.Result, "result");
    FuzzRequire(size == (e.Full ? capacity + 1 : e.Text.size()), "size");
    FuzzRequire(std::memcmp(buf.get(), e.Text.data(), e.Text.size()) == 0, "text");
    return 0;
}
