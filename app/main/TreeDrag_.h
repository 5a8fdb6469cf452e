// Dragging a record file onto a chamber in the tree, free of the platform: when
// a press arms a drag, when a move starts it, which nodes take the drop and
// when the tree scrolls under the mouse. The drop itself is
// TRecWindows::AssignRecordFile.
#pragma once

#include "app/tree/TreeModel_.h"

// A move farther than this from where the mouse first moved starts the drag.
inline constexpr int kDragThreshold = 3;
// Over the top or bottom this many pixels of the tree, it scrolls one line.
inline constexpr int kDragScrollMargin = 14;

class TTreeDrag {
public:
    // A press on Node arms a drag with the left button on a record file whose
    // window holds no unsaved data.
    void MouseDown(const TTreeNode* Node, bool LeftButton);
    // True when this move starts the drag.
    bool MouseMove(int X, int Y, bool LeftButton);
    void MouseUp();

    bool Armed() const { return FArmed; }

private:
    bool FArmed = false;
    bool FHasStart = false;
    int FStartX = 0;
    int FStartY = 0;
};

// Only a chamber takes the drop.
bool AcceptsDrop(const TTreeNode* Target);

enum class TDragScroll { None, LineUp, LineDown };
// Y from the tree's top; Height its client height.
TDragScroll DragScroll(int Y, int Height);
