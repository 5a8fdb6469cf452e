#include "app/base/MsgDlg_.h"

#include "app/base/Texte_.h"

#include <cstdlib>

namespace {

struct TButtonKind {
    const char* Name;
    const char* Caption;
    int32_t Result;
};

constexpr TButtonKind kButtonKinds[] = {
    {"Yes", sMsgDlgYes, mrYes},
    {"No", sMsgDlgNo, mrNo},
    {"OK", sMsgDlgOK, mrOk},
    {"Cancel", sMsgDlgCancel, mrCancel},
    {"Abort", sMsgDlgAbort, mrAbort},
    {"Retry", sMsgDlgRetry, mrRetry},
    {"Ignore", sMsgDlgIgnore, mrIgnore},
    {"All", sMsgDlgAll, mrAll},
    {"NoToAll", sMsgDlgNoToAll, mrNoToAll},
    {"YesToAll", sMsgDlgYesToAll, mrYesToAll},
    {"Help", sMsgDlgHelp, mrNone},
};

const char* CaptionOf(TMsgDlgType DlgType) {
    switch (DlgType) {
    case mtWarning:
        return sMsgDlgWarning;
    case mtError:
        return sMsgDlgError;
    case mtInformation:
        return sMsgDlgInformation;
    case mtConfirmation:
        return sMsgDlgConfirm;
    case mtCustom:
        break;
    }
    return "";
}

int IndexOf(const TMsgDlgRequest& Request, TMsgDlgBtn Kind) {
    for (std::size_t i = 0; i < Request.Buttons.size(); ++i)
        if (Request.Buttons[i].Kind == Kind)
            return static_cast<int>(i);
    return -1;
}

} // namespace

TMsgDlgRequest CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType,
                                   TMsgDlgButtons Buttons) {
    TMsgDlgRequest r;
    r.Caption = CaptionOf(DlgType);
    r.Msg = Msg;
    r.DlgType = DlgType;
    for (int k = mbYes; k <= mbHelp; ++k) {
        const auto kind = static_cast<TMsgDlgBtn>(k);
        if (Buttons.Has(kind))
            r.Buttons.push_back(
                {kind, kButtonKinds[k].Name, kButtonKinds[k].Caption, kButtonKinds[k].Result});
    }
    for (TMsgDlgBtn kind : {mbOK, mbYes, mbRetry}) {
        r.DefaultButton = IndexOf(r, kind);
        if (r.DefaultButton >= 0)
            break;
    }
    return r;
}

int32_t ShowMsgDlg(IMessageBoxes& Boxes, const std::string& Msg, TMsgDlgType DlgType,
                   TMsgDlgButtons Buttons, TMsgDlgBtn DefaultButton, int32_t HelpContext,
                   TDlgPosition Position) {
    TMsgDlgRequest r = CreateMessageDialog(Msg, DlgType, Buttons);
    r.DefaultButton = IndexOf(r, DefaultButton);
    r.HelpContext = HelpContext;
    r.Position = Position;
    return Boxes.ShowDialog(r).Result;
}

int32_t ShowErrorOrWarn(IMessageBoxes& Boxes, const std::string& Msg, bool Warning) {
    if (Warning)
        return ShowMsgDlg(Boxes, Msg, mtWarning, {mbYes, mbNo}, mbYes, 0, poOwnerFormCenter);
    return ShowMsgDlg(Boxes, Msg, mtError, {mbOK}, mbOK, 0, poOwnerFormCenter);
}

int32_t ConfirmDlg(IMessageBoxes& Boxes, const std::string& Msg, TMsgDlgButtons Buttons,
                   TMsgDlgBtn DefaultButton) {
    return ShowMsgDlg(Boxes, Msg, mtConfirmation, Buttons, DefaultButton, 0, poOwnerFormCenter);
}

int32_t MsgDlgScreenCenter(IMessageBoxes& Boxes, const std::string& Msg, TMsgDlgType DlgType,
                           TMsgDlgButtons Buttons, TMsgDlgBtn DefaultButton, int32_t HelpContext) {
    return ShowMsgDlg(Boxes, Msg, DlgType, Buttons, DefaultButton, HelpContext, poScreenCenter);
}

bool AskYesNo(IMessageBoxes& Boxes, const std::string& Msg, bool DefaultYes) {
    return MsgDlgScreenCenter(Boxes, Msg, mtConfirmation, {mbYes, mbNo}, DefaultYes ? mbYes : mbNo,
                              0) == mrYes;
}

void ShowOnce(IMessageBoxes& Boxes, IRegistryStore& Registry, const std::string& Msg,
              TMsgDlgType DlgType, const std::string& RegKey, const std::string& ValueName) {
    if (RegReadBool(Registry, RegKey, ValueName, false))
        return;
    TMsgDlgRequest r = CreateMessageDialog(Msg, DlgType, {mbOK});
    r.Caption = sMsgDlgInformation;
    r.StayOnTop = true;
    r.Position = poScreenCenter;
    r.CheckBox = sDontShowAgain;
    const TMsgDlgAnswer answer = Boxes.ShowDialog(r);
    RegWriteBool(Registry, RegKey, ValueName, answer.Checked);
}

void FatalError(IMessageBoxes& Boxes, const std::string& Msg) {
    // Nothing may stop the process from ending here.
    try {
        ShowErrorOrWarn(Boxes, sProgramTerminated + Msg, false);
    } catch (...) {
    }
    std::exit(0);
}
