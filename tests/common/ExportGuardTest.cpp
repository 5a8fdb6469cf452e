#include "common/ExportGuard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace {

TEST(ExportGuard, ResultOfTheCallPassesThrough) {
    for (const TLinkResult r : {TLinkResult{0}, TLinkResult{18}, TLinkResult{errTimeout}}) {
        SCOPED_TRACE(r);
        EXPECT_EQ(GuardExport([r] { return r; }), r);
    }
}

TEST(ExportGuard, NoExceptionLeavesAnExport) {
    EXPECT_EQ(GuardExport([]() -> TLinkResult { throw std::bad_alloc(); }), errMemory);
    EXPECT_EQ(GuardExport([]() -> TLinkResult { throw std::runtime_error("x"); }), errNilStore);
    EXPECT_EQ(GuardExport([]() -> TLinkResult { throw 42; }), errNilStore);
    // An export that answers a failure its own way gets its own value.
    EXPECT_EQ(GuardExport([] { return std::int32_t{1234567}; }, std::int32_t{-1}), 1234567);
    EXPECT_EQ(GuardExport([]() -> std::int32_t { throw std::bad_alloc(); }, std::int32_t{-1}), -1);
    EXPECT_EQ(GuardExport([]() -> TLinkResult { throw 42; }, TLinkResult{errCommState}),
              errCommState);
    EXPECT_EQ(
        GuardExport([]() -> std::uint16_t { throw std::runtime_error("x"); }, std::uint16_t{0}), 0);
}

} // namespace
