#include "app/record/RecClose_.h"

#include "app/base/Tools_.h"
#include "app/tree/TreeTypes_.h"

namespace {

int32_t AskStop(IMessageBoxes& Boxes, const TRecCloseState& State, const std::string& Name) {
    const std::string msg = Name + sStopAndClose;
    if (State.RecordingCount > 1 && State.MainClosing)
        return ConfirmDlg(Boxes, msg, {mbYes, mbCancel, mbYesToAll}, mbCancel);
    return ConfirmDlg(Boxes, msg, {mbYes, mbCancel}, mbCancel);
}

int32_t AskSave(IMessageBoxes& Boxes, const TRecCloseState& State, const std::string& Name) {
    const std::string msg =
        State.Live ? Name + sSaveChamberData : Format(sSaveImportedData, Name.c_str());
    if (State.UnsavedCount > 1 && State.MainClosing)
        return ConfirmDlg(Boxes, msg, {mbYes, mbNo, mbCancel, mbNoToAll}, mbYes);
    return ConfirmDlg(Boxes, msg, {mbYes, mbNo, mbCancel}, mbYes);
}

} // namespace

bool RecCloseQuery(IMessageBoxes& Boxes, const TRecCloseState& State,
                   const TRecCloseAnswers& Answers, const std::function<void()>& Stop,
                   const std::function<bool()>& Save) {
    const std::string name = RemoveUnsavedMark(State.NodeText);
    if (State.Recording && !Answers.YesToAllStop) {
        const int32_t answer = AskStop(Boxes, State, name);
        if (answer == mrYesToAll)
            Answers.YesToAllStop = true;
        else if (answer != mrYes)
            return false;
    }
    bool save = false;
    if (State.Modified && !Answers.NoToAll) {
        const int32_t answer = AskSave(Boxes, State, name);
        if (answer == mrNoToAll)
            Answers.NoToAll = true;
        else if (answer == mrYes)
            save = true;
        else if (answer != mrNo)
            return false;
    }
    if (State.Recording)
        Stop();
    return !save || Save();
}
