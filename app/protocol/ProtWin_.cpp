#include "app/protocol/ProtWin_.h"

#include "app/base/Tools_.h"
#include "app/tree/TreeTypes_.h"

#include <algorithm>
#include <exception>

int32_t CountTextLines(const std::string& Text) {
    int32_t lines = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
            ++lines;
        }
    }
    if (!Text.empty() && Text.back() != '\r' && Text.back() != '\n')
        ++lines;
    return lines;
}

int32_t FitClientHeight(int32_t Lines, int32_t LineHeight, int32_t MaxHeight) {
    const int64_t height = (static_cast<int64_t>(Lines) + 2) * (LineHeight + 2);
    return static_cast<int32_t>(std::min<int64_t>(MaxHeight, height));
}

bool ValidLineRange(int32_t Count, int32_t First, int32_t Last) {
    return First >= 0 && First <= Last && Last < Count;
}

bool ProtCloseQuery(IMessageBoxes& Boxes, const TProtCloseState& State, bool& NoToAll,
                    const std::function<bool()>& SaveAs) {
    if ((State.AutoPrint && !State.KeepWindow) || State.Caption.find('*') == std::string::npos)
        return true;
    if (NoToAll)
        return true;
    const std::string text =
        Format(sSaveProtocolQuestion, RemoveUnsavedMark(State.Caption).c_str());
    const int32_t answer = State.UnsavedProtCount > 1 && State.MainClosing
                               ? ConfirmDlg(Boxes, text, {mbYes, mbNo, mbCancel, mbNoToAll}, mbYes)
                               : ConfirmDlg(Boxes, text, {mbYes, mbNo, mbCancel}, mbYes);
    switch (answer) {
    case mrYes:
        return SaveAs();
    case mrNo:
        return true;
    case mrNoToAll:
        NoToAll = true;
        return true;
    default:
        return false;
    }
}

bool AutoPrintProtocol(IMessageBoxes& Boxes, int32_t Len, bool AutoPrint, bool KeepWindow,
                       const std::function<void()>& Print) {
    if (Len == 0 || !AutoPrint)
        return false;
    try {
        Print();
    } catch (const std::exception& e) {
        ShowErrorOrWarn(Boxes, e.what(), false);
        return false;
    }
    return !KeepWindow;
}
