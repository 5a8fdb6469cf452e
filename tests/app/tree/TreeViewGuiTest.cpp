// The tree view adapter under Wine: the control's items, read back by messages,
// follow the model (order, texts, images, state images, expansion, selection,
// deletion), and the user's selection and expansion reach the model. The tree's
// images, drawn by the program, read back pixel by pixel.
#include "app/base/Form_win.h"
#include "app/tree/TreeImages_win.h"
#include "app/tree/TreeNodes_.h"
#include "app/tree/TreeView_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTreeId = 100;

// A form with a tree view that hands the tree's notifications to the adapter.
class THostForm : public TForm {
public:
    THostForm() {
        InitCommonControlsOnce();
        TFormArgs args;
        args.ClassName = "TTreeHostForm";
        args.Caption = "Tree host";
        args.ClientWidth = 300;
        args.ClientHeight = 400;
        CreateForm(args);
        tree = AddControl(WC_TREEVIEWA, "",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                              TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                          kTreeId, 0, 0, 300, 400, WS_EX_CLIENTEDGE);
        ShowWindow(Handle(), SW_SHOW);
    }

    HWND tree = nullptr;
    TTreeViewAdapter* adapter = nullptr;

protected:
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override {
        if (Msg == WM_NOTIFY && adapter)
            adapter->HandleNotify(*reinterpret_cast<const NMHDR*>(L));
        return TForm::OnMessage(Msg, W, L);
    }
};

// What the control shows of one item.
struct TItemView {
    std::string text;
    int image = -2;
    int selected = -2;
    UINT stateImage = 99;
    bool expanded = false;
    LPARAM param = 0;
};

TItemView ViewOf(HWND Tree, HTREEITEM Item) {
    char text[256] = {};
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    item.hItem = Item;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    item.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
    EXPECT_TRUE(SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    return {text,
            item.iImage,
            item.iSelectedImage,
            (item.state & TVIS_STATEIMAGEMASK) >> 12,
            (item.state & TVIS_EXPANDED) != 0,
            item.lParam};
}

HTREEITEM Next(HWND Tree, UINT Flag, HTREEITEM Item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Tree, TVM_GETNEXTITEM, Flag, reinterpret_cast<LPARAM>(Item)));
}

// Texts of the children of Parent (null: the top level), in the control's order.
std::vector<std::string> ChildTexts(HWND Tree, HTREEITEM Parent) {
    std::vector<std::string> out;
    for (HTREEITEM i = Parent ? Next(Tree, TVGN_CHILD, Parent) : Next(Tree, TVGN_ROOT, nullptr); i;
         i = Next(Tree, TVGN_NEXT, i))
        out.push_back(ViewOf(Tree, i).text);
    return out;
}

std::vector<std::string> ModelTexts(const TTreeNode& Parent) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < Parent.Count(); ++i)
        out.push_back(Parent.Item(i)->Text());
    return out;
}

int ItemCount(HWND Tree) {
    return static_cast<int>(SendMessageA(Tree, TVM_GETCOUNT, 0, 0));
}

HTREEITEM Caret(HWND Tree) {
    return Next(Tree, TVGN_CARET, nullptr);
}

TChamberData Chamber(int32_t Number) {
    TChamberData c;
    c.Kind = ChamberKindOf("ZEPHORA", Number);
    c.Chamber = Number;
    return c;
}

class TreeViewTest : public testing::Test {
protected:
    THostForm form;
    TTreeModel model;
    std::unique_ptr<TTreeViewAdapter> adapter;
    TTreeNode* root = CreateRootNode(model, "LAB-PC", "anna");

    void Attach() {
        adapter = std::make_unique<TTreeViewAdapter>(form.tree, model);
        form.adapter = adapter.get();
    }
    void TearDown() override { form.adapter = nullptr; }

    HTREEITEM ItemOf(const TTreeNode* N) { return adapter->ItemOf(N); }
};

TEST_F(TreeViewTest, ShowsTheNodesTheModelHasAndAddsNewOnesInOrder) {
    TTreeNode* instrument = model.AddChild(root, "COM3 0000042", TInstrumentData{});
    model.AddChild(instrument, "Chamber 2 - 1", Chamber(2));
    model.Expand(root, false);
    Attach();
    EXPECT_EQ(ChildTexts(form.tree, nullptr), std::vector<std::string>{"LAB-PC [anna]"});
    EXPECT_TRUE(ViewOf(form.tree, ItemOf(root)).expanded);
    EXPECT_FALSE(ViewOf(form.tree, ItemOf(instrument)).expanded);

    model.AddChild(instrument, "Chamber 0 - 1", Chamber(0));
    model.AddChild(instrument, "A chamber 9", Chamber(9));
    for (const char* text : {"USB1 0000007", "Records", "COM10 0000001", "Protocols"})
        model.AddChild(root, text, TRecNodeData{});

    EXPECT_EQ(ChildTexts(form.tree, ItemOf(root)), ModelTexts(*root));
    EXPECT_EQ(ChildTexts(form.tree, ItemOf(root)),
              (std::vector<std::string>{"COM10 0000001", "COM3 0000042", "Protocols", "Records",
                                        "USB1 0000007"}));
    EXPECT_EQ(ChildTexts(form.tree, ItemOf(instrument)),
              (std::vector<std::string>{"Chamber 0 - 1", "Chamber 2 - 1", "A chamber 9"}));
    EXPECT_EQ(ItemCount(form.tree), 9);
    for (TTreeNode* n = model.GetNext(nullptr); n; n = model.GetNext(n)) {
        SCOPED_TRACE(n->Text());
        EXPECT_EQ(ViewOf(form.tree, ItemOf(n)).param, reinterpret_cast<LPARAM>(n));
        EXPECT_EQ(adapter->NodeOf(ItemOf(n)), n);
    }
}

TEST_F(TreeViewTest, TextsImagesAndStateImagesFollowTheModel) {
    Attach();
    TTreeNode* a = model.AddChild(root, "Alpha", TRecNodeData{});
    TTreeNode* b = model.AddChild(root, "Beta", TRecNodeData{});
    TItemView v = ViewOf(form.tree, ItemOf(a));
    EXPECT_EQ(v.image, 0);
    EXPECT_EQ(v.selected, 0);
    EXPECT_EQ(v.stateImage, 0u);
    v = ViewOf(form.tree, ItemOf(root));
    EXPECT_EQ(v.image, imRoot);

    struct Case {
        int32_t image, selected, state;
        UINT shownState;
    } cases[] = {{3, 3, 12, 12}, {4, 5, 10, 10}, {20, 20, imNone, 0}, {1, 1, 16, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        model.SetNodeImages(a, c.image, c.selected, c.state);
        v = ViewOf(form.tree, ItemOf(a));
        EXPECT_EQ(v.image, c.image);
        EXPECT_EQ(v.selected, c.selected);
        EXPECT_EQ(v.stateImage, c.shownState);
    }

    // A new text moves the item; its handle stays.
    const HTREEITEM itemA = ItemOf(a);
    model.SetText(a, "Zeta");
    EXPECT_EQ(ChildTexts(form.tree, ItemOf(root)), (std::vector<std::string>{"Beta", "Zeta"}));
    EXPECT_EQ(ItemOf(a), itemA);
    EXPECT_EQ(Next(form.tree, TVGN_CHILD, ItemOf(root)), ItemOf(b));
    EXPECT_EQ(ViewOf(form.tree, itemA).image, 1);
}

TEST_F(TreeViewTest, ExpansionBothWays) {
    Attach();
    TTreeNode* records = model.AddChild(root, "Records", TRecNodeData{});
    model.AddChild(records, "run", TRecData{});
    model.Expand(root, true);
    EXPECT_TRUE(ViewOf(form.tree, ItemOf(root)).expanded);
    EXPECT_TRUE(ViewOf(form.tree, ItemOf(records)).expanded);
    model.Collapse(records);
    EXPECT_FALSE(ViewOf(form.tree, ItemOf(records)).expanded);
    // A child added to a collapsed node leaves it collapsed, to an expanded one expanded.
    model.AddChild(records, "run2", TRecData{});
    EXPECT_FALSE(ViewOf(form.tree, ItemOf(records)).expanded);
    model.AddChild(root, "Protocols", TProtNodeData{});
    EXPECT_TRUE(ViewOf(form.tree, ItemOf(root)).expanded);

    // The user: keys on the selected item, as the keyboard sends them.
    model.Select(records);
    SetFocus(form.tree);
    SendMessageA(form.tree, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(ViewOf(form.tree, ItemOf(records)).expanded);
    EXPECT_TRUE(records->Expanded());
    SendMessageA(form.tree, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_FALSE(ViewOf(form.tree, ItemOf(records)).expanded);
    EXPECT_FALSE(records->Expanded());
}

TEST_F(TreeViewTest, SelectionBothWays) {
    Attach();
    TTreeNode* a = model.AddChild(root, "A", TRecNodeData{});
    TTreeNode* b = model.AddChild(root, "B", TRecNodeData{});
    model.Expand(root, false);
    model.Select(a);
    EXPECT_EQ(Caret(form.tree), ItemOf(a));
    // The control selects: the model follows.
    SendMessageA(form.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(ItemOf(b)));
    EXPECT_EQ(model.Selected(), b);
    model.Select(nullptr);
    EXPECT_EQ(Caret(form.tree), nullptr);
}

TEST_F(TreeViewTest, DeletingANodeRemovesItsItemsAndKeepsTheSelectionAgreed) {
    Attach();
    TTreeNode* instrument = model.AddChild(root, "COM1 0000001", TInstrumentData{});
    TTreeNode* c0 = model.AddChild(instrument, "c0", Chamber(0));
    model.AddChild(instrument, "c1", Chamber(1));
    TTreeNode* records = model.AddChild(root, "Records", TRecNodeData{});
    model.Expand(root, true);
    model.Select(c0);
    EXPECT_EQ(ItemCount(form.tree), 5);

    FreeAndDeleteNode(model, instrument);
    EXPECT_EQ(ItemCount(form.tree), 2);
    EXPECT_EQ(ChildTexts(form.tree, ItemOf(root)), std::vector<std::string>{"Records"});
    EXPECT_EQ(ItemOf(instrument), nullptr);
    // The control selected another item instead; the model holds the same.
    EXPECT_NE(model.Selected(), nullptr);
    EXPECT_EQ(adapter->NodeOf(Caret(form.tree)), model.Selected());

    model.Select(records);
    model.Delete(records);
    EXPECT_EQ(adapter->NodeOf(Caret(form.tree)), model.Selected());
    EXPECT_EQ(ItemCount(form.tree), 1);
}

TEST_F(TreeViewTest, OneImageListForImagesAndStateImages) {
    Attach();
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 25, 0);
    ASSERT_NE(images, nullptr);
    adapter->SetImages(images);
    EXPECT_EQ(
        reinterpret_cast<HIMAGELIST>(SendMessageA(form.tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
        images);
    EXPECT_EQ(
        reinterpret_cast<HIMAGELIST>(SendMessageA(form.tree, TVM_GETIMAGELIST, TVSIL_STATE, 0)),
        images);
    adapter->SetImages(nullptr);
    ImageList_Destroy(images);
}

TEST_F(TreeViewTest, TheAdapterTakesItsImagesBackFromTheControlWhenItGoes) {
    Attach();
    const TImageListHandle images = CreateTreeImages();
    adapter->SetImages(images.Get());
    adapter.reset();
    form.adapter = nullptr;
    for (const WPARAM which : {TVSIL_NORMAL, TVSIL_STATE}) {
        SCOPED_TRACE(which);
        EXPECT_EQ(SendMessageA(form.tree, TVM_GETIMAGELIST, which, 0), 0);
    }
}

// Image Index of Images drawn on Background: its pixels row by row.
std::vector<COLORREF> ImagePixels(HIMAGELIST Images, int Index, COLORREF Background) {
    const TScoped<HDC, DeleteDC> dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = 16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const TScoped<HBITMAP, DeleteObject> bitmap(
        CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TSelectObject select(dc.Get(), bitmap.Get());
    const TScoped<HBRUSH, DeleteObject> brush(CreateSolidBrush(Background));
    const RECT all{0, 0, 16, 16};
    FillRect(dc.Get(), &all, brush.Get());
    EXPECT_TRUE(ImageList_Draw(Images, Index, dc.Get(), 0, 0, ILD_NORMAL));
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(GetPixel(dc.Get(), x, y));
    return pixels;
}

TEST(TreeImages, TwentyFiveMaskedImagesEachItsOwn) {
    const TImageListHandle images = CreateTreeImages();
    ASSERT_TRUE(images);
    EXPECT_EQ(ImageList_GetImageCount(images.Get()), 25);
    int width = 0;
    int height = 0;
    EXPECT_TRUE(ImageList_GetIconSize(images.Get(), &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);

    constexpr COLORREF white = RGB(255, 255, 255);
    constexpr COLORREF black = RGB(0, 0, 0);
    std::map<std::vector<COLORREF>, int> seen;
    for (int i = 0; i < 25; ++i) {
        SCOPED_TRACE(i);
        const std::vector<COLORREF> onWhite = ImagePixels(images.Get(), i, white);
        const std::vector<COLORREF> onBlack = ImagePixels(images.Get(), i, black);
        // Transparent where nothing is drawn: the corners show the background.
        for (const int corner : {0, 15, 240, 255}) {
            EXPECT_EQ(onWhite[corner], white);
            EXPECT_EQ(onBlack[corner], black);
        }
        int opaque = 0;
        for (std::size_t p = 0; p < onWhite.size(); ++p) {
            EXPECT_NE(onWhite[p], RGB(255, 0, 255)) << "the strip's mask colour at " << p;
            opaque += onWhite[p] == onBlack[p];
        }
        EXPECT_GT(opaque, 30) << "a glyph, not a speck";
        const auto [other, added] = seen.emplace(onBlack, i);
        EXPECT_TRUE(added) << "looks like image " << other->second;
    }
}

TEST(LocaleCompareText, AgreesWithThePortableOrderOnTheTreesTexts) {
    const char* texts[] = {"",
                           "a",
                           "A",
                           "b",
                           "B",
                           "abc",
                           "abd",
                           "ab",
                           "COM3 0000042",
                           "COM10 0000001",
                           "Protocols",
                           "Records",
                           "records",
                           "USB1 0000007",
                           "Chamber 1 - 0012345",
                           "(3) Oven"};
    for (const char* x : texts) {
        for (const char* y : texts) {
            SCOPED_TRACE(std::string(x) + " | " + y);
            const int platform = LocaleCompareText(x, y);
            const int portable = DefaultCompareText(x, y);
            EXPECT_EQ((platform > 0) - (platform < 0), (portable > 0) - (portable < 0));
        }
    }
}

} // namespace
