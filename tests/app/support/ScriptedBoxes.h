// Message boxes for model tests: records every dialog and answers from a script.
#pragma once

#include "app/base/MsgDlg_.h"

#include <deque>
#include <vector>

class TScriptedBoxes : public IMessageBoxes {
public:
    TMsgDlgAnswer ShowDialog(const TMsgDlgRequest& Request) override;

    // Answers in order; a dialog beyond the script is closed without a button.
    std::deque<TMsgDlgAnswer> Script;
    std::vector<TMsgDlgRequest> Shown;
};
