// The action table of a form: each action has a caption, a shortcut, enabled
// and checked states and an execute handler. Menu items and tool buttons with
// the action's id follow its states (see Actions_win.h) and execute it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// A key with modifiers; Key is a Windows virtual-key code, 0 for none.
struct TShortCut {
    uint16_t Key = 0;
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

// "Shift+Ctrl+Alt+" as far as set, then the key's name ("O", "F1", "Del");
// empty without a key or for a key without a name.
std::string ShortCutToText(const TShortCut& ShortCut);

struct TAction {
    int Id = 0; // the command id of its menu items and tool buttons
    std::string Caption;
    TShortCut ShortCut;
    bool Enabled = true;
    bool Checked = false;
    std::function<void()> OnExecute;
};

// Told whenever an action's caption or state changes.
class IActionView {
public:
    virtual void ActionChanged(const TAction& Action) = 0;

protected:
    ~IActionView() = default;
};

class TActionList {
public:
    // Adds Action; an id that is taken replaces the action with it.
    void Add(TAction Action);
    const TAction* Find(int Id) const;
    // Runs the handler of an enabled action; true when one ran.
    bool Execute(int Id);

    void SetCaption(int Id, const std::string& Caption);
    void SetEnabled(int Id, bool Enabled);
    void SetChecked(int Id, bool Checked);

    const std::deque<TAction>& Items() const { return FItems; }

    // View is told about every action now and about every change until detached.
    void Attach(IActionView& View);
    void Detach(IActionView& View);

private:
    TAction* FindMutable(int Id);
    void Changed(const TAction& Action);

    std::deque<TAction> FItems;
    std::vector<IActionView*> FViews;
};
