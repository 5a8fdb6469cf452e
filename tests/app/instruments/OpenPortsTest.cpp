// The stored set of open serial ports ("openedcom") and the reconnect at start.
#include "app/instruments/OpenPorts_.h"

#include "tests/app/support/MemRegistry.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

const std::string kKey = "\\Software\\Meridane\\TessalyMC\\environment";

using Bytes = std::vector<uint8_t>;

Bytes Stored(const TMemRegistry& Registry) {
    return Registry.Get(kKey, "openedcom").Data;
}

Bytes SetBytes(std::initializer_list<std::pair<int, uint8_t>> NonZero) {
    Bytes b(32, 0);
    for (const auto& [i, v] : NonZero)
        b[static_cast<std::size_t>(i)] = v;
    return b;
}

TEST(StoreOpenPorts, WritesBitIOfByteIDiv8ForEachSerialIndex) {
    TMemRegistry registry;
    StoreOpenPorts(registry, {0, 4, 9, 255, 4});
    EXPECT_EQ(registry.Get(kKey, "openedcom").Kind, TRegKind::Binary);
    EXPECT_EQ(Stored(registry), SetBytes({{0, 0x11}, {1, 0x02}, {31, 0x80}}));
}

TEST(StoreOpenPorts, NoSerialInstrumentClearsTheStoredSet) {
    TMemRegistry registry;
    StoreOpenPorts(registry, {2});
    StoreOpenPorts(registry, {});
    EXPECT_EQ(Stored(registry), Bytes(32, 0));
}

// A USB index has no bit in the 32 bytes; setting one would write past the set.
TEST(StoreOpenPorts, IndexesOutsideTheSerialRangeAreNotStored) {
    TMemRegistry registry;
    StoreOpenPorts(registry, {256, 511, -1, 100000, 1});
    EXPECT_EQ(Stored(registry), SetBytes({{0, 0x02}}));
}

TEST(ReadOpenPorts, AMissingValueIsTheEmptySetAndIsWrittenSo) {
    TMemRegistry registry;
    const TOpenComSet set = ReadOpenPorts(registry);
    for (int i = 0; i < 256; ++i)
        EXPECT_FALSE(set.Has(i)) << i;
    EXPECT_EQ(Stored(registry), Bytes(32, 0));
}

TEST(ReadOpenPorts, ReadsWhatWasStored) {
    TMemRegistry registry;
    StoreOpenPorts(registry, {0, 37, 255});
    const TOpenComSet set = ReadOpenPorts(registry);
    for (int i = -1; i <= 256; ++i)
        EXPECT_EQ(set.Has(i), i == 0 || i == 37 || i == 255) << i;
}

// The user's answer to "Cannot connect ..." as ReopenComPort reports it.
enum TAnswer { Connected, Ignore, Retry, Abort };

TEST(ReconnectOpenPorts, ReopensTheStoredPortsInOrderAsTheAnswersSay) {
    struct Case {
        const char* what;
        std::vector<int32_t> stored; // interface indexes
        std::deque<TAnswer> answers;
        std::vector<int32_t> reopened; // device indexes passed to ReopenComPort
    } cases[] = {
        {"bits 0 and 4", {0, 4}, {Connected, Connected}, {1, 5}},
        {"Ignore goes on", {0, 4}, {Ignore, Connected}, {1, 5}},
        {"Retry tries the same port", {0, 4}, {Retry, Retry, Connected, Connected}, {1, 1, 1, 5}},
        {"Abort stops", {0, 4}, {Abort}, {1}},
        {"Abort on the second", {0, 4, 7}, {Connected, Abort}, {1, 5}},
        {"the last port", {255}, {Retry, Connected}, {256, 256}},
        {"nothing stored", {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemRegistry registry;
        StoreOpenPorts(registry, c.stored);
        std::deque<TAnswer> answers = c.answers;
        std::vector<int32_t> reopened;
        ReconnectOpenPorts(registry, [&](int32_t Port) {
            reopened.push_back(Port);
            if (answers.empty() || reopened.size() > 20)
                return TReopenAnswer::Stop; // the case asked for more than it planned
            const TAnswer answer = answers.front();
            answers.pop_front();
            switch (answer) {
            case Connected:
            case Ignore:
                return TReopenAnswer::Next;
            case Retry:
                return TReopenAnswer::Retry;
            case Abort:
                break;
            }
            return TReopenAnswer::Stop;
        });
        EXPECT_EQ(reopened, c.reopened);
        EXPECT_TRUE(answers.empty());
    }
}

} // namespace
