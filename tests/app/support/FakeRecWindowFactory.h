// Record windows for tests of the main window: fake windows made on demand,
// every call logged.
#pragma once

#include "app/main/RecWindows_.h"
#include "tests/app/support/FakeRecordWindow.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Makes fake windows and logs every call; failAt names the step that raises
// ("OpenTempFiles" gives no file name instead).
class TFakeRecWindowFactory : public IRecWindowFactory {
public:
    std::vector<std::string> log;
    std::string failAt;
    std::vector<std::unique_ptr<TFakeRecordWindow>> windows;
    int freed = 0;

    IRecordWindow& Create(TTreeNode& Node, bool Live) override {
        Step(std::string("Create ") + (Live ? "live " : "stored ") + Node.Text());
        windows.push_back(std::make_unique<TFakeRecordWindow>());
        return *windows.back();
    }
    void Free(IRecordWindow&) override {
        log.push_back("Free");
        ++freed;
    }
    void SetDefaultSettings(IRecordWindow&) override { Step("SetDefaultSettings"); }
    std::string BuildCaption(IRecordWindow&) override {
        Step("BuildCaption");
        return "Bench - Chamber 1";
    }
    void SetCaption(IRecordWindow&, const std::string& Caption) override {
        Step("SetCaption " + Caption);
    }
    std::string OpenTempFiles(IRecordWindow&, const std::string& Dir) override {
        log.push_back("OpenTempFiles " + Dir);
        return failAt == "OpenTempFiles" ? "" : Dir + "x~.tmp";
    }
    void LoadRecordFile(IRecordWindow&, const std::string& FileName) override {
        Step("LoadRecordFile " + FileName);
    }
    void Activate(IRecordWindow&) override { Step("Activate"); }
    void SetDataReplaced(IRecordWindow&) override { Step("SetDataReplaced"); }

private:
    void Step(const std::string& What) {
        log.push_back(What);
        if (What.rfind(failAt, 0) == 0 && !failAt.empty())
            throw std::runtime_error("failed: " + What);
    }
};
