// The protocol file: layout, round trip, and what a damaged or hostile file does.
#include "app/protocol/cod_.h"
#include "app/protocol/EditProtocolForm_.h"
#include "app/protocol/ProtFile_.h"
#include "link/core/QuorxComTools.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string kRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0\\fs16 "
                         "\\b Protocol\\b0\\par Operator \\i Smith\\i0\\par}";

uint32_t U32At(const std::vector<uint8_t>& F, std::size_t At) {
    uint32_t v;
    std::memcpy(&v, &F[At], 4);
    return v;
}

void PutU32At(std::vector<uint8_t>& F, std::size_t At, uint32_t V) {
    std::memcpy(&F[At], &V, 4);
}

void FixChecksum(std::vector<uint8_t>& F) {
    const uint16_t check = Checksum16(F.data() + 2, static_cast<int>(F.size() - 2));
    F[0] = static_cast<uint8_t>(check);
    F[1] = static_cast<uint8_t>(check >> 8);
}

TEditData Field(const std::string& Label, const std::string& Value, int32_t Line, uint8_t Column,
                uint8_t Dots) {
    TEditData e{};
    SetShortString(e.Label, Label);
    SetShortString(e.Value, Value);
    e.Line = Line;
    e.Column = Column;
    e.DotCount = Dots;
    e.CharPos = Line * 41 + Column - 1;
    return e;
}

TProtFileData Sample(int Records) {
    TProtFileData d;
    d.Head.InterfaceIndex = 2;
    d.Head.Chamber = 5;
    for (int i = 0; i < Records; ++i)
        d.EditDatas.push_back(Field("Operator ........", i % 2 ? "Smith" : "", i, 10, 8));
    d.Rtf = kRtf;
    return d;
}

void ExpectSameFields(const TEditDatas& A, const TEditDatas& B) {
    ASSERT_EQ(A.size(), B.size());
    for (std::size_t i = 0; i < A.size(); ++i)
        EXPECT_EQ(std::memcmp(&A[i], &B[i], sizeof(TEditData)), 0) << "record " << i;
}

TEST(ProtocolFile, LayoutAndRoundTripWithAndWithoutRecords) {
    for (int records : {0, 1, 3}) {
        SCOPED_TRACE(records);
        const TProtFileData data = Sample(records);
        const std::vector<uint8_t> file = BuildProtocolFile(data, 17);
        const std::size_t textAt = kProtHeaderSize + 92 * records;
        EXPECT_EQ(file.size(), textAt + (kRtf.size() + 3) / 4 * 4);
        EXPECT_EQ((file.size() - kProtHeaderSize) % 4, 0u);
        EXPECT_EQ(file[2], 17);
        EXPECT_EQ(U32At(file, 7), 145u);
        EXPECT_EQ(U32At(file, 11), kRtf.size());
        EXPECT_EQ(U32At(file, 15), 92u * records);
        EXPECT_EQ(U32At(file, 19), 6u);
        EXPECT_EQ(file[23], 2);
        EXPECT_EQ(file[24], 5);
        for (std::size_t i = 25; i < kProtHeaderSize; ++i)
            EXPECT_EQ(file[i], 0) << i;
        std::vector<uint8_t> plain = file;
        DecodeBody(plain, kProtHeaderSize, file[2]);
        EXPECT_EQ(std::string(plain.begin() + textAt, plain.begin() + textAt + kRtf.size()), kRtf);

        TProtFileData back;
        ASSERT_TRUE(ParseProtocolFile(file, back));
        EXPECT_EQ(back.Head.Kind, nkProtocol);
        EXPECT_EQ(back.Head.InterfaceIndex, 2);
        EXPECT_EQ(back.Head.Chamber, 5);
        EXPECT_EQ(back.Rtf, kRtf);
        ExpectSameFields(back.EditDatas, data.EditDatas);
    }
}

TEST(ProtocolFile, TwoSavesWithOtherKeysReadTheSame) {
    const TProtFileData data = Sample(2);
    const std::vector<uint8_t> a = BuildProtocolFile(data, 1);
    const std::vector<uint8_t> b = BuildProtocolFile(data, 30);
    EXPECT_NE(a, b);
    TProtFileData ra, rb;
    ASSERT_TRUE(ParseProtocolFile(a, ra));
    ASSERT_TRUE(ParseProtocolFile(b, rb));
    EXPECT_EQ(ra.Rtf, rb.Rtf);
    ExpectSameFields(ra.EditDatas, rb.EditDatas);
}

TEST(ProtocolFile, NewKeysStayWithinOneTo30) {
    for (int i = 0; i < 200; ++i) {
        const uint8_t key = NewProtocolKey();
        ASSERT_GE(key, 1);
        ASSERT_LE(key, 30);
    }
}

TEST(ProtocolFile, EveryChangedByteFromOffsetTwoIsRejected) {
    const std::vector<uint8_t> file = BuildProtocolFile(Sample(2), 9);
    TProtFileData out;
    for (std::size_t at = 2; at < file.size(); ++at)
        for (uint8_t mask : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> bad = file;
            bad[at] ^= mask;
            EXPECT_FALSE(ParseProtocolFile(bad, out)) << "byte " << at << " mask " << int(mask);
        }
}

TEST(ProtocolFile, HeaderChecksWithAMatchingChecksum) {
    struct Case {
        const char* name;
        std::size_t at;
        uint8_t value;
        bool accepted;
    };
    const Case cases[] = {
        {"reserved byte 3", 3, 0x5A, true},         {"reserved byte 4", 4, 0xA5, true},
        {"reserved word 5, low byte", 5, 1, false}, {"reserved word 5, high byte", 6, 0x80, false},
        {"header size 146", 7, 146, false},         {"header size 144", 7, 144, false},
        {"header size high byte", 10, 1, false},
    };
    const std::vector<uint8_t> file = BuildProtocolFile(Sample(1), 12);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> changed = file;
        changed[c.at] = c.value;
        FixChecksum(changed);
        TProtFileData out;
        EXPECT_EQ(ParseProtocolFile(changed, out), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(out.Rtf, kRtf);
        }
    }
}

TEST(ProtocolFile, ShortFilesAreRejected) {
    const std::vector<uint8_t> file = BuildProtocolFile(Sample(0), 3);
    for (std::size_t size : {0u, 1u, 2u, 144u}) {
        SCOPED_TRACE(size);
        // Exactly Size bytes, so a read past them is a read past the allocation.
        std::vector<uint8_t> part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        part.shrink_to_fit();
        if (size > 2)
            FixChecksum(part);
        TProtFileData out;
        EXPECT_FALSE(ParseProtocolFile(part, out));
    }
}

TEST(ProtocolFile, HeaderOnlyIsAnEmptyProtocol) {
    std::vector<uint8_t> file = BuildProtocolFile(Sample(0), 3);
    file.resize(kProtHeaderSize);
    FixChecksum(file);
    TProtFileData out;
    ASSERT_TRUE(ParseProtocolFile(file, out));
    EXPECT_TRUE(out.EditDatas.empty());
    EXPECT_TRUE(out.Rtf.empty());
}

TEST(ProtocolFile, EditRecordCountBeyondTheDataIsRejected) {
    const std::vector<uint8_t> file = BuildProtocolFile(Sample(2), 5);
    const uint32_t data = static_cast<uint32_t>(file.size() - kProtHeaderSize);
    struct Case {
        uint32_t bytes;
        bool accepted;
    };
    const Case cases[] = {
        {0, true},           {92, true},          {data, true},
        {data + 1, false},   {data + 92, false},  {0x7FFFFFFF, false},
        {0x80000000, false}, {0xFFFFFFFF, false}, {0xFFFFFFA4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::vector<uint8_t> changed = file;
        PutU32At(changed, 15, c.bytes);
        FixChecksum(changed);
        TProtFileData out;
        EXPECT_EQ(ParseProtocolFile(changed, out), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(out.EditDatas.size(), c.bytes / 92);
        }
    }
}

TEST(ProtocolFile, StoredLengthsAboveFortyAreCut) {
    TProtFileData data = Sample(1);
    data.EditDatas[0].Label[0] = 200;
    data.EditDatas[0].Value[0] = 41;
    data.EditDatas[0].DotCount = 255;
    TProtFileData out;
    ASSERT_TRUE(ParseProtocolFile(BuildProtocolFile(data, 7), out));
    ASSERT_EQ(out.EditDatas.size(), 1u);
    EXPECT_EQ(out.EditDatas[0].Label[0], 40);
    EXPECT_EQ(out.EditDatas[0].Value[0], 40);
    EXPECT_EQ(out.EditDatas[0].DotCount, 40);
    EXPECT_EQ(ShortString(out.EditDatas[0].Label).size(), 40u);
}

} // namespace
