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
}

} // namespace
