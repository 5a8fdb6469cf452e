// libFuzzer target of the stored open ports ("openedcom"): a value of any kind
// and length in the registry, read back as a set, reconnected with the user's
// answers taken from the fuzzer (connect or ignore, retry, abort), and a set of
// any interface indexes stored and read again.
#include "app/instruments/OpenPorts_.h"
#include "app/settings/PreferencesValues_.h"
#include "tests/app/support/FuzzedRegValue.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/support/FuzzCheck.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace {

void CheckRead(const TRegValue& Stored, const TOpenComSet& Set, const TMemRegistry& Registry) {
    std::vector<uint8_t> expected(TOpenComSet::kSize, 0);
    const bool block = Stored.Kind == TRegKind::Binary || Stored.Kind == TRegKind::Other;
    const bool taken = block && !Stored.Data.empty() && Stored.Data.size() <= expected.size();
    if (taken)
        std::copy(Stored.Data.begin(), Stored.Data.end(), expected.begin());
    FuzzRequire(std::equal(expected.begin(), expected.end(), Set.Bytes.begin()), "set as stored");
    const TRegValue now = Registry.Get(kRegEnvironment, kOpenPortsValue);
    FuzzRequire(now == (taken ? Stored : TRegValue::Bin(expected.data(), expected.size())),
                "a value that cannot be read is replaced by the empty set");
}

// Every port of the set once, COM1 first, again after each retry, none after an abort.
void CheckReconnect(FuzzedDataProvider& In, const TOpenComSet& Set, TMemRegistry& Registry) {
    std::vector<int32_t> ports;
    for (int32_t i = 0; i < TOpenComSet::kSize * 8; ++i)
        if (Set.Has(i))
            ports.push_back(DeviceIndexOf(i));
    std::size_t next = 0;
    bool aborted = false;
    ReconnectOpenPorts(Registry, [&](int32_t Port) {
        FuzzRequire(!aborted && next < ports.size() && Port == ports[next], "ports in order");
        switch (In.ConsumeIntegralInRange<int>(0, 7)) {
        case 1:
            return TReopenAnswer::Retry;
        case 2:
            aborted = true;
            return TReopenAnswer::Stop;
        default:
            ++next;
            return TReopenAnswer::Next;
        }
    });
    FuzzRequire(aborted || next == ports.size(), "every stored port reopened");
}

void CheckStore(FuzzedDataProvider& In, TMemRegistry& Registry) {
    std::vector<int32_t> indexes;
    std::set<int32_t> serial;
    for (int n = In.ConsumeIntegralInRange<int>(0, 40); n > 0; --n) {
        const auto index = In.ConsumeIntegralInRange<int32_t>(-3, 515);
        indexes.push_back(index);
        if (index >= 0 && index < 256)
            serial.insert(index);
    }
    StoreOpenPorts(Registry, indexes);
    const TOpenComSet read = ReadOpenPorts(Registry);
    for (int32_t i = -3; i < 516; ++i)
        FuzzRequire(read.Has(i) == (serial.count(i) != 0), "stored set read back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider in(Data, Size);
    TMemRegistry registry;
    const TRegValue stored = FuzzedRegValue(in, 40);
    if (stored.Kind != TRegKind::Missing)
        registry.Put(kRegEnvironment, kOpenPortsValue, stored);
    const TOpenComSet set = ReadOpenPorts(registry);
    CheckRead(stored, set, registry);
    CheckReconnect(in, set, registry);
    CheckStore(in, registry);
    return 0;
}
