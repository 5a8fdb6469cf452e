#include "app/instruments/LinkHost_.h"

#include "app/base/Tools_.h"

void ShowLinkError(IMessageBoxes& Boxes, const char* Tag, const char* Library, TLinkResult Code) {
    ShowErrorOrWarn(Boxes, Format(sErrorInFrom, Tag, Library, static_cast<unsigned>(Code)), false);
}

std::size_t TLinkState::Slot(TDevIndex Index) {
    return TDeviceIndex(Index).Valid() ? static_cast<std::size_t>(Index) : 0;
}

void TLinkState::LinkGone(TDevIndex Index) {
    ++FGeneration[Slot(Index)];
}

uint32_t TLinkState::Generation(TDevIndex Index) const {
    return FGeneration[Slot(Index)];
}

TCursorScope::TCursorScope(ILinkHost& Host, TCursorKind Cursor)
    : FHost(Host), FRestore(Host.SetScreenCursor(Cursor)) {}

TCursorScope::TCursorScope(ILinkHost& Host, TCursorKind Cursor, TCursorKind Restore)
    : FHost(Host), FRestore(Restore) {
    FHost.SetScreenCursor(Cursor);
}

TCursorScope::~TCursorScope() {
    FHost.SetScreenCursor(FRestore);
}
