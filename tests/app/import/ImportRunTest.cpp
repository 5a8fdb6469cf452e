// The import run: sorting the names, the question about joining logs, the fixed
// order, and the main window enabled again whatever ends the run.
#include "app/import/ImportRun_.h"

#include "app/base/Texte_.h"

#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

int CompareIgnoringCase(const std::string& A, const std::string& B) {
    std::string a = A, b = B;
    for (std::string* s : {&a, &b})
        for (char& c : *s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return a.compare(b);
}

class TActionLog : public IImportActions {
public:
    void ImportMKLog(const std::string& FileName, bool First, bool Last) override {
        Add(FileName, "log" + std::string(First ? " first" : "") + (Last ? " last" : ""));
    }
    void ImportMKProt(const std::string& FileName) override { Add(FileName, "prot"); }
    void LoadFile(const std::string& FileName) override { Add(FileName, "load"); }
    void EnableMainWindow(bool Enable) override { Calls.push_back(Enable ? "enable" : "disable"); }

    std::vector<std::string> Calls;
    std::string FailOn;

private:
    void Add(const std::string& FileName, const std::string& What) {
        Calls.push_back(What + " " + FileName);
        if (FileName == FailOn)
            throw std::runtime_error("failed " + FileName);
    }
};

TEST(SortImportFiles, ByNameIntoFourSortedLists) {
    const TImportLists lists = SortImportFiles(
        {"C:\\d\\b_LOG.txt", "C:\\d\\A_log.TXT", "x.zqr", "X.ZQP", "p.zqp", "m_PRO.txt", "tree.zqd",
         "notes.txt", "C:\\log.txt.d\\y.zqr", "C:\\zqp.d\\a_PRO.txt", "y.ZQR"},
        CompareIgnoringCase);
    EXPECT_EQ(lists.MKLogs, (std::vector<std::string>{"C:\\d\\A_log.TXT", "C:\\d\\b_LOG.txt"}));
    EXPECT_EQ(lists.MKProts, (std::vector<std::string>{"C:\\zqp.d\\a_PRO.txt", "m_PRO.txt"}));
    EXPECT_EQ(lists.ProtocolFiles, (std::vector<std::string>{"p.zqp", "X.ZQP"}));
    EXPECT_EQ(lists.RecordFiles,
              (std::vector<std::string>{"C:\\log.txt.d\\y.zqr", "x.zqr", "y.ZQR"}));
}

TEST(ImportFiles, FixedOrderWithTheMainWindowDisabled) {
    TActionLog log;
    TScriptedBoxes boxes;
    ImportFiles({"r.zqr", "p.zqp", "b_PRO.txt", "b_LOG.txt", "a_PRO.txt", "a_LOG.txt"}, false, true,
                log, boxes, CompareIgnoringCase);
    EXPECT_EQ(log.Calls,
              (std::vector<std::string>{"disable", "log first a_LOG.txt", "log last b_LOG.txt",
                                        "prot a_PRO.txt", "prot b_PRO.txt", "load p.zqp",
                                        "load r.zqr", "enable"}));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST(ImportFiles, TheQuestionDecidesHowLogsAreJoined) {
    const std::vector<std::string> joined = {"disable", "log first a_LOG.txt", "log b_LOG.txt",
                                             "log last c_LOG.txt", "enable"};
    const std::vector<std::string> single = {"disable", "log first last a_LOG.txt",
                                             "log first last b_LOG.txt", "log first last c_LOG.txt",
                                             "enable"};
    const struct {
        const char* Name;
        bool Ask;
        bool Concatenate;
        int32_t Answer; // 0: no question expected
        std::vector<std::string> Calls;
    } cases[] = {
        {"asked, Yes: one record each", true, true, mrYes, single},
        {"asked, No: joined", true, true, mrNo, joined},
        {"asked, closed: joined", true, false, mrCancel, joined},
        {"Shift: joined", false, true, 0, joined},
        {"Ctrl: one record each", false, false, 0, single},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TActionLog log;
        TScriptedBoxes boxes;
        if (c.Answer)
            boxes.Script.push_back({c.Answer, false});
        ImportFiles({"c_LOG.txt", "a_LOG.txt", "b_LOG.txt"}, c.Ask, c.Concatenate, log, boxes,
                    CompareIgnoringCase);
        EXPECT_EQ(log.Calls, c.Calls);
        ASSERT_EQ(boxes.Shown.size(), c.Answer ? 1u : 0u);
        if (c.Answer) {
            const TMsgDlgRequest& q = boxes.Shown[0];
            EXPECT_EQ(q.Msg, sAskIndividualLogs);
            EXPECT_EQ(q.Caption, sMsgDlgConfirm);
            ASSERT_EQ(q.Buttons.size(), 2u);
            EXPECT_EQ(q.Buttons[static_cast<std::size_t>(q.DefaultButton)].Kind, mbNo);
        }
    }
}

TEST(ImportFiles, OneLogIsNeverAskedAbout) {
    TActionLog log;
    TScriptedBoxes boxes;
    ImportFiles({"a_LOG.txt", "x.zqr"}, true, true, log, boxes, CompareIgnoringCase);
    EXPECT_TRUE(boxes.Shown.empty());
    EXPECT_EQ(log.Calls[1], "log first last a_LOG.txt");
}

TEST(ImportFiles, AnErrorEndsTheRunAndEnablesTheMainWindow) {
    TActionLog log;
    log.FailOn = "b_LOG.txt";
    TScriptedBoxes boxes;
    boxes.Script.push_back({mrNo, false});
    try {
        ImportFiles({"a_LOG.txt", "b_LOG.txt", "c_LOG.txt", "p_PRO.txt"}, true, true, log, boxes,
                    CompareIgnoringCase);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "failed b_LOG.txt");
    }
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"disable", "log first a_LOG.txt",
                                                   "log b_LOG.txt", "enable"}));
}

} // namespace
