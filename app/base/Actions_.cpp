#include "app/base/Actions_.h"

#include <algorithm>

namespace {

struct TKeyName {
    uint16_t Key;
    const char* Name;
};

// Virtual-key codes with a name of their own; letters, digits and F-keys are built.
constexpr TKeyName kKeyNames[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"},
};

std::string KeyName(uint16_t Key) {
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return std::string(1, static_cast<char>(Key));
    if (Key >= 0x70 && Key <= 0x87) // F1..F24
        return "F" + std::to_string(Key - 0x70 + 1);
    for (const TKeyName& k : kKeyNames)
        if (k.Key == Key)
            return k.Name;
    return {};
}

} // namespace

std::string ShortCutToText(const TShortCut& ShortCut) {
    const std::string name = KeyName(ShortCut.Key);
    if (name.empty())
        return {};
    std::string text;
    if (ShortCut.Shift)
        text += "Shift+";
    if (ShortCut.Ctrl)
        text += "Ctrl+";
    if (ShortCut.Alt)
        text += "Alt+";
    return text + name;
}

void TActionList::Add(TAction Action) {
    TAction* existing = FindMutable(Action.Id);
    TAction& stored = existing ? (*existing = std::move(Action), *existing)
                               : FItems.emplace_back(std::move(Action));
    Changed(stored);
}

const TAction* TActionList::Find(int Id) const {
    for (const TAction& a : FItems)
        if (a.Id == Id)
            return &a;
    return nullptr;
}

TAction* TActionList::FindMutable(int Id) {
    return const_cast<TAction*>(Find(Id));
}

bool TActionList::Execute(int Id) {
    const TAction* a = Find(Id);
    if (!a || !a->Enabled || !a->OnExecute)
        return false;
    // A copy: the handler may replace its own action.
    const std::function<void()> handler = a->OnExecute;
    handler();
    return true;
}

void TActionList::SetCaption(int Id, const std::string& Caption) {
    TAction* a = FindMutable(Id);
    if (a && a->Caption != Caption) {
        a->Caption = Caption;
        Changed(*a);
    }
}

void TActionList::SetEnabled(int Id, bool Enabled) {
    TAction* a = FindMutable(Id);
    if (a && a->Enabled != Enabled) {
        a->Enabled = Enabled;
        Changed(*a);
    }
}

void TActionList::SetChecked(int Id, bool Checked) {
    TAction* a = FindMutable(Id);
    if (a && a->Checked != Checked) {
        a->Checked = Checked;
        Changed(*a);
    }
}

void TActionList::Attach(IActionView& View) {
    FViews.push_back(&View);
    for (const TAction& a : FItems)
        View.ActionChanged(a);
}

void TActionList::Detach(IActionView& View) {
    FViews.erase(std::remove(FViews.begin(), FViews.end(), &View), FViews.end());
}

void TActionList::Changed(const TAction& Action) {
    // A view may detach while it is told.
    const std::vector<IActionView*> views = FViews;
    for (IActionView* v : views)
        if (std::find(FViews.begin(), FViews.end(), v) != FViews.end())
            v->ActionChanged(Action);
}
