// The graph page in an enhanced metafile, on the clipboard and in the print
// preview, under Wine.
#include "app/output/GraphExportWin_win.h"
#include "app/output/GraphPrintPrv_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/MetafileTexts_win.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A record of 50 samples at 10 s, its graph over the whole record.
struct TRecordFixture {
    TRecording Data;
    TLineGraph Graph;

    TRecordFixture() {
        TRecBlockHeader header{};
        header.Block = 1;
        Data.Headers.push_back(header);
        for (uint32_t i = 0; i < 50; ++i) {
            TSample s{};
            s.Stamp = {11, 12, 2026, 3600 + 10 * i};
            s.Block = 1;
            Data.Samples.push_back(s);
        }
        Graph.SampleInterval = 10;
        Graph.SetMinTime(0);
        Graph.SetMaxTime(500);
        TLineSerie& serie = Graph.Series.Add();
        serie.Visible = true;
        serie.SeriesName = "Humidity";
        Graph.Series.PointCount = 50;
        Graph.OnGetValues = [](TLineGraph& Sender, TGraphColumn& Column) {
            TLineSerie& s = Sender.Series[0];
            s.FirstVal = s.LastVal = s.MinVal = s.MaxVal = static_cast<double>(Column.First);
        };
    }
    TGraphPageSource Source() const {
        return {"* Chamber 3", 0, "C:\\data\\run.zqr", Data, Graph, "11.12.2026", "01:02:03"};
    }
};

std::vector<uint8_t> Bits(HENHMETAFILE Metafile) {
    std::vector<uint8_t> bits(GetEnhMetaFileBits(Metafile, 0, nullptr));
    GetEnhMetaFileBits(Metafile, static_cast<UINT>(bits.size()), bits.data());
    return bits;
}

bool Has(const std::vector<std::string>& Texts, const std::string& Text) {
    return std::find(Texts.begin(), Texts.end(), Text) != Texts.end();
}

UINT RecordCount(HENHMETAFILE Metafile) {
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(Metafile, sizeof header, &header);
    return header.nRecords;
}

TEST(GraphExport, MetafileHoldsThePageWithItsRealSizeAndNoFooters) {
    const TRecordFixture record;
    const TEnhMetafile emf =
        RenderExportPage(record.Source(), ExportPageFlags(true, false, true, true));
    ASSERT_TRUE(emf);
    const std::vector<uint8_t> bits = Bits(emf.Get());
    ASSERT_GT(bits.size(), 44u);
    EXPECT_EQ(std::string(bits.begin() + 40, bits.begin() + 44), " EMF");
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(emf.Get(), sizeof header, &header);
    // 250 mm x 177 mm in hundredths of a millimetre, not the screen's twips.
    EXPECT_EQ(header.rclFrame.left, 0);
    EXPECT_EQ(header.rclFrame.top, 0);
    EXPECT_NEAR(header.rclFrame.right, 25000, 2);
    EXPECT_NEAR(header.rclFrame.bottom, 17701, 2);

    const auto texts = MetafileTexts(emf.Get());
    EXPECT_TRUE(Has(texts, "Chamber 3"));
    EXPECT_TRUE(Has(texts, "First:"));
    EXPECT_TRUE(Has(texts, "Time/Div:"));
    EXPECT_FALSE(Has(texts, "Printdate:"));
    EXPECT_FALSE(Has(texts, "Meridane Tessaly MC V2.31 "));
}

TEST(GraphExport, UntickedBoxesLeaveTheBareGraph) {
    const TRecordFixture record;
    const TEnhMetafile emf =
        RenderExportPage(record.Source(), ExportPageFlags(false, false, false, false));
    ASSERT_TRUE(emf);
    const auto texts = MetafileTexts(emf.Get());
    EXPECT_FALSE(Has(texts, "Chamber 3"));
    EXPECT_FALSE(Has(texts, "First:"));
    EXPECT_FALSE(Has(texts, "Time/Div:"));
}

TEST(GraphExport, SavedFileIsTheMetafileAndAFailedSaveLeavesNoFile) {
    const TRecordFixture record;
    const TEnhMetafile emf = RenderExportPage(record.Source(), 0x39);
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof dir, dir);
    const std::string file = std::string(dir) + "graph_export_test.emf";
    SaveMetafile(emf.Get(), file);
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    in.close();
    EXPECT_EQ(bytes.size(), Bits(emf.Get()).size());
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(std::string(bytes.begin() + 40, bytes.begin() + 44), " EMF");
    DeleteFileA(file.c_str());

    const std::string nowhere = std::string(dir) + "no such folder\\graph.emf";
    EXPECT_THROW(SaveMetafile(emf.Get(), nowhere), std::runtime_error);
    EXPECT_EQ(GetFileAttributesA(nowhere.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(GraphExport, EachClipboardCopyIsAFreshPageAndTheWindowKeepsItsOwn) {
    const TRecordFixture record;
    TMemRegistry registry;
    TScriptedBoxes boxes;
    TGraphExportWin win(nullptr, registry, boxes);
    std::vector<UINT> counts;
    // Clicked while the window runs modally: copy, read the clipboard, twice.
    SetTimer(win.Handle(), 1, 10, [](HWND Wnd, UINT, UINT_PTR, DWORD) {
        KillTimer(Wnd, 1);
        auto* counts = reinterpret_cast<std::vector<UINT>*>(GetPropA(Wnd, "counts"));
        for (int i = 0; i < 2; ++i) {
            SendMessageA(GetDlgItem(Wnd, TGraphExportWin::kButtonCopyClpBrd), BM_CLICK, 0, 0);
            if (OpenClipboard(Wnd)) {
                const auto emf = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
                ENHMETAHEADER header{};
                counts->push_back(
                    emf && GetEnhMetaFileHeader(emf, sizeof header, &header) ? header.nRecords : 0);
                CloseClipboard();
            }
        }
        SendMessageA(GetDlgItem(Wnd, TGraphExportWin::kButtonCancel), BM_CLICK, 0, 0);
    });
    SetPropA(win.Handle(), "counts", &counts);
    const TGraphPageSource source = record.Source();
    EXPECT_EQ(win.Execute(source), mrCancel);
    RemovePropA(win.Handle(), "counts");
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_GT(counts[0], 10u);
    EXPECT_EQ(counts[0], counts[1]);
    // The clipboard frees what it holds when emptied: the window's own stays.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(RecordCount(win.Metafile()), counts[1]);
    // The boxes were stored by the copy.
    EXPECT_TRUE(RegReadBool(registry, kEmfExportKey, "Scale", false));
}

class TFixedHost : public IPreviewHost {
public:
    TPrinterMetrics Metrics;
    TPrinterMetrics PrinterMetrics() override { return Metrics; }
    TRect PageRect() override { return {1417, 1417, 10487, 15421}; }
    void PrinterSetup() override {}
    void PageSetup() override {}
};

TEST(PrintPreview, PageBoxKeepsThePapersAspect) {
    TFixedHost host;
    host.Metrics = {4960, 7016, 600, 600, 0, 0};
    TMemRegistry registry;
    TGraphPrintPrv preview(nullptr, registry, host);
    preview.SetClientSize(600, 417);
    preview.FormShow();
    // 353 high, 353 x 4960 / 7016 wide, centred.
    const SIZE first = preview.ClientSize();
    ASSERT_EQ(first.cy, 417);
    const int32_t left = first.cx / 2 - 249 / 2;
    EXPECT_EQ(preview.PaintBox(), (TRect{left, 48, left + 249, 48 + 353}));
    EXPECT_TRUE(preview.Options().SerNam);
    EXPECT_FALSE(preview.Options().NumVal);

    // Tall and as narrow as the window may get: the width limits the page.
    ShowWindow(preview.Handle(), SW_SHOWNOACTIVATE);
    preview.SetClientSize(300, 1000);
    preview.FormConstrainedResize();
    const SIZE client = preview.ClientSize();
    const TRect box = preview.PaintBox();
    EXPECT_EQ(box.Right - box.Left, client.cx - 32);
    EXPECT_EQ(box.Bottom - box.Top, (client.cx - 32) * 7016 / 4960);
    EXPECT_EQ(box.Top, 64);
    preview.PaintBox1Paint();
    ShowWindow(preview.Handle(), SW_HIDE);
}

TEST(PrintPreview, WithoutAPrinterNothingDividesByZero) {
    TFixedHost host; // no printer: every metric 0
    TMemRegistry registry;
    TGraphPrintPrv preview(nullptr, registry, host);
    preview.FormShow();
    const TRect box = preview.PaintBox();
    EXPECT_EQ(box.Right - box.Left, 0);
    ShowWindow(preview.Handle(), SW_SHOWNOACTIVATE);
    preview.SetClientSize(600, 500);
    preview.PaintBox1Paint();
    UpdateWindow(preview.Handle());
    ShowWindow(preview.Handle(), SW_HIDE);
}

} // namespace
