// The images of the main window's tree (ImageList2), drawn when the program
// starts. Image n shows the node that TreeTypes_.h (im*, ChamberImage,
// InstrumentImage) gives image n; the same list serves the tree's state images
// and the rows of the record windows' sample lists (imRow*).
#pragma once

#include "common/WinRes_win.h"

#include <windows.h>

#include <commctrl.h>

inline constexpr int kTreeImageSize = 16;
inline constexpr int kTreeImageCount = 25;

using TImageListHandle = TScoped<HIMAGELIST, ImageList_Destroy>;

// A masked list of kTreeImageCount images of kTreeImageSize pixels square;
// none when the system refuses one.
TImageListHandle CreateTreeImages();
