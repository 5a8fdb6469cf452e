#include "link/core/DevTable.h"

#include <algorithm>

TLinkObject* TNPDevList::FindByKey(int Key) const {
    for (const auto& [key, link] : entries_)
        if (key == Key)
            return link.get();
    return nullptr;
}

int TNPDevList::FreeKey() const {
    for (int key = 1; key <= 2 * TDeviceIndex::kLastUsbKey; ++key)
        if (FindByKey(key) == nullptr)
            return key;
    return 0;
}

int TNPDevList::Add(int Key, std::unique_ptr<TLinkObject> Link) {
    if (Key <= 0 || FindByKey(Key) != nullptr)
        return -1;
    entries_.emplace_back(Key, std::move(Link));
    return static_cast<int>(entries_.size()) - 1;
}

bool TNPDevList::Remove(int Key) {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [Key](const auto& e) { return e.first == Key; });
    if (it == entries_.end())
        return false;
    // Out of the list first: freeing the device may call back into the library.
    auto link = std::move(it->second);
    entries_.erase(it);
    link.reset();
    return true;
}

TLinkResult TDevTable::CheckDevIndex(int Index) const {
    if (!TDeviceIndex(Index).Valid())
        return errParam;
    return LinkByIndex(Index) != nullptr ? 0 : errNotOpen;
}

TLinkObject* TDevTable::LinkByIndex(int Index) const {
    const TDeviceIndex index(Index);
    if (index.Serial())
        return serial_[index.ComNumber() - 1].get();
    if (index.Usb())
        return usb_.FindByKey(index.UsbKey());
    return nullptr;
}

TNPDev* TDevTable::DevByIndex(int Index) const {
    TLinkObject* link = LinkByIndex(Index);
    return link ? &link->Dev() : nullptr;
}

void TDevTable::FreeAll() {
    for (auto& slot : serial_)
        slot.reset();
    usb_.Clear();
}
