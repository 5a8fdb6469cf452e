#include "app/main/TreeDrag_.h"

#include "app/tree/TreeNodes_.h"

#include <cstdlib>

void TTreeDrag::MouseDown(const TTreeNode* Node, bool LeftButton) {
    const TRecData* record = Node ? Node->As<TRecData>() : nullptr;
    FArmed = LeftButton && record && !(record->RecordWindow && record->RecordWindow->Modified());
}

bool TTreeDrag::MouseMove(int X, int Y, bool LeftButton) {
    if (!FArmed || !LeftButton)
        return false;
    if (!FHasStart) {
        FHasStart = true;
        FStartX = X;
        FStartY = Y;
        return false;
    }
    if (std::abs(X - FStartX) <= kDragThreshold && std::abs(Y - FStartY) <= kDragThreshold)
        return false;
    FHasStart = false;
    return true;
}

void TTreeDrag::MouseUp() {
    // A press that did not drag leaves no start point behind for the next one.
    FHasStart = false;
    FArmed = false;
}

bool AcceptsDrop(const TTreeNode* Target) {
    return ChamberData(Target) != nullptr;
}

TDragScroll DragScroll(int Y, int Height) {
    if (Y < kDragScrollMargin)
        return TDragScroll::LineUp;
    if (Y >= Height - kDragScrollMargin)
        return TDragScroll::LineDown;
    return TDragScroll::None;
}
