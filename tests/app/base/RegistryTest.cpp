#include "app/base/Registry_.h"

#include "tests/app/support/MemRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kKey = "\\Software\\Meridane\\TessalyMC\\printprot";

using Bytes = std::vector<uint8_t>;

Bytes Seq(std::size_t N, uint8_t First) {
    Bytes b(N);
    for (std::size_t i = 0; i < N; ++i)
        b[i] = static_cast<uint8_t>(First + i);
    return b;
}

TRegValue Bin(const Bytes& B) {
    return TRegValue::Bin(B.data(), B.size());
}

TRegValue Other(const Bytes& B) {
    return {TRegKind::Other, B};
}

enum class Reader { Int, Bool, Str, Bin };

enum Failure { None, OpenFails };

// One row: what is stored, which reader runs with which default, what it
// returns and what is stored afterwards. Binary defaults are 32 bytes 0xA0...,
// the string default "def", the caller's string preset "preset".
struct Case {
    const char* what;
    Reader reader;
    std::optional<TRegValue> stored;
    int32_t defaultInt;
    std::string result;             // printed result of the reader
    std::optional<TRegValue> after; // nullopt: no value stored afterwards
    Failure failure = None;
    std::optional<Bytes> buffer = {}; // RegReadBin: buffer afterwards (default: untouched)
};

const Bytes kDefaults = Seq(32, 0xA0);

std::string RunReader(TMemRegistry& Store, const Case& C, Bytes& Buffer) {
    switch (C.reader) {
    case Reader::Int:
        return std::to_string(RegReadInt(Store, kKey, "v", C.defaultInt));
    case Reader::Bool:
        return RegReadBool(Store, kKey, "v", C.defaultInt != 0) ? "true" : "false";
    case Reader::Str: {
        std::string value = "preset";
        RegReadStr(Store, kKey, "v", "def", value);
        return value;
    }
    case Reader::Bin:
        return RegReadBin(Store, kKey, "v", Buffer.data(), static_cast<int32_t>(Buffer.size()))
                   ? "true"
                   : "false";
    }
    return {};
}

TEST(RegistryReaders, StoredValuesDefaultsAndWriteBack) {
    Bytes tenThenDefaults = kDefaults;
    std::memcpy(tenThenDefaults.data(), Seq(10, 1).data(), 10);

    const Case cases[] = {
        // Integers and Booleans.
        {"int fresh", Reader::Int, {}, 10, "10", TRegValue::Dword(10)},
        {"int stored", Reader::Int, TRegValue::Dword(12), 10, "12", TRegValue::Dword(12)},
        {"int negative", Reader::Int, TRegValue::Dword(0xFFFFFFFE), 10, "-2",
         TRegValue::Dword(0xFFFFFFFE)},
        {"int negative default", Reader::Int, {}, -1, "-1", TRegValue::Dword(0xFFFFFFFF)},
        {"int stored as text", Reader::Int, TRegValue::Str("12"), 10, "10", TRegValue::Dword(10)},
        {"int stored as block", Reader::Int, Bin(Seq(4, 1)), 10, "10", TRegValue::Dword(10)},
        {"int of 8 bytes", Reader::Int, Other(Seq(8, 1)), 10, "10", TRegValue::Dword(10)},
        {"bool fresh", Reader::Bool, {}, 1, "true", TRegValue::Dword(1)},
        {"bool false default", Reader::Bool, {}, 0, "false", TRegValue::Dword(0)},
        {"bool any non-zero", Reader::Bool, TRegValue::Dword(7), 0, "true", TRegValue::Dword(7)},
        {"bool zero", Reader::Bool, TRegValue::Dword(0), 1, "false", TRegValue::Dword(0)},
        {"bool as text", Reader::Bool, TRegValue::Str("1"), 0, "false", TRegValue::Dword(0)},
        // Strings.
        {"str fresh", Reader::Str, {}, 0, "def", TRegValue::Str("def")},
        {"str stored", Reader::Str, TRegValue::Str("C:\\Temp\\"), 0, "C:\\Temp\\",
         TRegValue::Str("C:\\Temp\\")},
        {"str empty", Reader::Str, TRegValue::Str(""), 0, "def", TRegValue::Str("def")},
        {"str as integer", Reader::Str, TRegValue::Dword(5), 0, "def", TRegValue::Str("def")},
        // Blocks.
        {"bin fresh", Reader::Bin, {}, 0, "false", Bin(kDefaults)},
        {"bin empty", Reader::Bin, Bin({}), 0, "false", Bin(kDefaults)},
        {"bin 10 of 32", Reader::Bin, Bin(Seq(10, 1)), 0, "true", Bin(Seq(10, 1)), None,
         tenThenDefaults},
        {"bin 32 of 32", Reader::Bin, Bin(Seq(32, 1)), 0, "true", Bin(Seq(32, 1)), None,
         Seq(32, 1)},
        {"bin 40 of 32", Reader::Bin, Bin(Seq(40, 1)), 0, "false", Bin(kDefaults)},
        {"bin as text", Reader::Bin, TRegValue::Str("abc"), 0, "false", Bin(kDefaults)},
        {"bin as integer", Reader::Bin, TRegValue::Dword(3), 0, "false", Bin(kDefaults)},
        {"bin of another type", Reader::Bin, Other(Seq(10, 1)), 0, "true", Other(Seq(10, 1)), None,
         tenThenDefaults},
        // A key that cannot be opened: defaults, the string keeps the caller's preset.
        {"int no key", Reader::Int, {}, 10, "10", {}, OpenFails},
        {"bool no key", Reader::Bool, {}, 1, "true", {}, OpenFails},
        {"str no key", Reader::Str, {}, 0, "preset", {}, OpenFails},
        {"bin no key", Reader::Bin, {}, 0, "false", {}, OpenFails},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemRegistry store;
        if (c.stored)
            store.Put(kKey, "v", *c.stored);
        store.FailOpen = c.failure == OpenFails;
        Bytes buffer = kDefaults;
        EXPECT_EQ(RunReader(store, c, buffer), c.result);
        const TRegValue after = store.Get(kKey, "v");
        EXPECT_EQ(after, c.after.value_or(TRegValue{}));
        EXPECT_EQ(buffer, c.buffer.value_or(kDefaults));
        // A value read as stored is not written again.
        if (c.stored && c.after == c.stored) {
            EXPECT_EQ(store.Writes, 0);
        }
    }
}

// The write-back error of a default reached the reader's caller; write failures
// are ignored everywhere, so the reader answers as if the write had worked.
TEST(RegistryReaders, FailedWriteBackOfADefaultDoesNotReachTheReader) {
    TMemRegistry store;
    store.FailWrites = true;
    store.Put(kKey, "text", TRegValue::Dword(1));

    EXPECT_EQ(RegReadInt(store, kKey, "textsize", 10), 10);
    EXPECT_TRUE(RegReadBool(store, kKey, "autoprint", true));
    std::string value = "preset";
    RegReadStr(store, kKey, "text", "def", value);
    EXPECT_EQ(value, "def");
    Bytes buffer = kDefaults;
    EXPECT_FALSE(RegReadBin(store, kKey, "settings", buffer.data(), 32));
    EXPECT_EQ(buffer, kDefaults);

    EXPECT_EQ(store.Writes, 4);
    EXPECT_EQ(store.Get(kKey, "textsize").Kind, TRegKind::Missing);
}

TEST(RegistryWriters, WriteTypedValuesAndReportFailure) {
    TMemRegistry store;
    EXPECT_TRUE(RegWriteInt(store, kKey, "i", -2));
    EXPECT_TRUE(RegWriteBool(store, kKey, "b", true));
    EXPECT_TRUE(RegWriteStr(store, kKey, "s", "x"));
    const Bytes block = Seq(5, 1);
    EXPECT_TRUE(RegWriteBin(store, kKey, "n", block.data(), 5));
    EXPECT_EQ(store.Get(kKey, "i"), TRegValue::Dword(0xFFFFFFFE));
    EXPECT_EQ(store.Get(kKey, "b"), TRegValue::Dword(1));
    EXPECT_EQ(store.Get(kKey, "s"), TRegValue::Str("x"));
    EXPECT_EQ(store.Get(kKey, "n"), Bin(block));

    store.FailWrites = true;
    EXPECT_FALSE(RegWriteInt(store, kKey, "i", 1));
    EXPECT_FALSE(RegWriteBool(store, kKey, "b", false));
    store.FailWrites = false;
    store.FailOpen = true;
    EXPECT_FALSE(RegWriteStr(store, kKey, "s", "y"));
    EXPECT_FALSE(RegWriteBin(store, kKey, "n", block.data(), 5));
    EXPECT_EQ(store.Get(kKey, "s"), TRegValue::Str("x"));
}

} // namespace
