#include "app/base/Guard_.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class GuardTest : public testing::Test {
protected:
    std::vector<std::string> reported;
    TExceptionReporter previous;

    void SetUp() override {
        previous = SetExceptionReporter([this](const std::string& W) { reported.push_back(W); });
    }
    void TearDown() override { SetExceptionReporter(previous); }
};

TEST_F(GuardTest, ExceptionsBecomeReportsAndTheFallback) {
    EXPECT_EQ(Guarded(42, [] { return 7; }), 7);
    EXPECT_EQ(Guarded(42, []() -> int { throw std::runtime_error("bad stream"); }), 42);
    EXPECT_EQ(Guarded(-1, []() -> int { throw 5; }), -1);
    bool ran = false;
    GuardedCall([&] {
        ran = true;
        throw std::logic_error("Error in TMainForm.RecEventProc. no node");
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(reported, (std::vector<std::string>{"bad stream", "Unknown exception",
                                                  "Error in TMainForm.RecEventProc. no node"}));
}

TEST_F(GuardTest, AFailingReporterIsSwallowedToo) {
    SetExceptionReporter([](const std::string&) { throw std::runtime_error("box failed"); });
    EXPECT_EQ(Guarded(3, []() -> int { throw std::runtime_error("x"); }), 3);
}

} // namespace
