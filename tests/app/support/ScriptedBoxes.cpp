#include "tests/app/support/ScriptedBoxes.h"

TMsgDlgAnswer TScriptedBoxes::ShowDialog(const TMsgDlgRequest& Request) {
    Shown.push_back(Request);
    if (Script.empty())
        return {};
    const TMsgDlgAnswer answer = Script.front();
    Script.pop_front();
    return answer;
}
