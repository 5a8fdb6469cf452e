// Message dialogs: the one routine that builds every message dialog, its
// shorthands, the once-only notice and the fatal-error stop. The dialog itself
// is shown through IMessageBoxes: the Win32 dialog in the program, a scripted
// fake in tests.
#pragma once

#include "app/base/Registry_.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Results of message dialogs and modal forms.
enum : int32_t {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Button kinds in the order the dialog shows them.
enum TMsgDlgBtn : uint8_t {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
};

// A set of button kinds (bit n = kind n).
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> Kinds) {
        for (TMsgDlgBtn k : Kinds)
            FBits = static_cast<uint16_t>(FBits | (1u << k));
    }
    constexpr bool Has(TMsgDlgBtn Kind) const { return (FBits >> Kind) & 1u; }

private:
    uint16_t FBits = 0;
};

enum TDlgPosition : uint8_t { poOwnerFormCenter, poScreenCenter };

struct TMsgDlgButton {
    TMsgDlgBtn Kind;
    std::string Name;    // the kind's name without "mb": "Yes", "NoToAll"
    std::string Caption; // "&Yes"
    int32_t Result;      // mrNone for Help, which does not close the dialog
    bool operator==(const TMsgDlgButton&) const = default;
};

// Everything the dialog shows; built by the routines below.
struct TMsgDlgRequest {
    std::string Caption;
    std::string Msg;
    TMsgDlgType DlgType = mtCustom;
    std::vector<TMsgDlgButton> Buttons; // in kind order
    int DefaultButton = -1;             // index into Buttons that is default and focused; -1 none
    int32_t HelpContext = 0;
    TDlgPosition Position = poOwnerFormCenter;
    bool StayOnTop = false;
    std::string CheckBox; // caption of a check box below the buttons; empty: none
};

struct TMsgDlgAnswer {
    int32_t Result = mrCancel; // the button's result; mrCancel when closed without one
    bool Checked = false;      // state of the check box
};

class IMessageBoxes {
public:
    // Shows the dialog modally; returns when it is closed.
    virtual TMsgDlgAnswer ShowDialog(const TMsgDlgRequest& Request) = 0;

protected:
    ~IMessageBoxes() = default;
};

// The standard dialog: caption by type, the buttons in kind order, the first of
// OK, Yes and Retry as default, centred on the owner form.
TMsgDlgRequest CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType,
                                   TMsgDlgButtons Buttons);

int32_t ShowMsgDlg(IMessageBoxes& Boxes, const std::string& Msg, TMsgDlgType DlgType,
                   TMsgDlgButtons Buttons, TMsgDlgBtn DefaultButton, int32_t HelpContext,
                   TDlgPosition Position);
// Error box [OK] (Warning false) or warning question [Yes, No], default the first.
int32_t ShowErrorOrWarn(IMessageBoxes& Boxes, const std::string& Msg, bool Warning);
int32_t ConfirmDlg(IMessageBoxes& Boxes, const std::string& Msg, TMsgDlgButtons Buttons,
                   TMsgDlgBtn DefaultButton);
int32_t MsgDlgScreenCenter(IMessageBoxes& Boxes, const std::string& Msg, TMsgDlgType DlgType,
                           TMsgDlgButtons Buttons, TMsgDlgBtn DefaultButton, int32_t HelpContext);
// True only when Yes was pressed.
bool AskYesNo(IMessageBoxes& Boxes, const std::string& Msg, bool DefaultYes);
// Shows Msg with the check box "Don't show this message again." unless the
// Boolean registry value RegKey\ValueName is set; stores the check box's state.
void ShowOnce(IMessageBoxes& Boxes, IRegistryStore& Registry, const std::string& Msg,
              TMsgDlgType DlgType, const std::string& RegKey, const std::string& ValueName);
// Shows the fatal error and ends the process with exit code 0, running only the
// exit clean-up (static destructors and exit handlers).
[[noreturn]] void FatalError(IMessageBoxes& Boxes, const std::string& Msg);
