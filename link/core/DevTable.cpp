#include "link/core/DevTable.h"

#include <algorithm>

const TLinkHold* TNPDevList::FindByKey(int Key) const {
    for (const auto& [key, link] : entries_)
        if (key == Key)
            return &link;
    return nullptr;
}

int TNPDevList::FreeKey() const {
    for (int key = 1; key <= 2 * TDeviceIndex::kLastUsbKey; ++key)
        if (FindByKey(key) == nullptr)
            return key;
    return 0;
}

int TNPDevList::Add(int Key, TLinkHold Link) {
    if (Key <= 0 || FindByKey(Key) != nullptr)
        return -1;
    entries_.emplace_back(Key, std::move(Link));
    return static_cast<int>(entries_.size()) - 1;
}

TLinkHold TNPDevList::Take(int Key) {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [Key](const auto& e) { return e.first == Key; });
    if (it == entries_.end())
        return nullptr;
    TLinkHold link = std::move(it->second);
    entries_.erase(it);
    return link;
}

std::vector<TLinkHold> TNPDevList::TakeAll() {
    std::vector<TLinkHold> links;
    for (auto& entry : entries_)
        links.push_back(std::move(entry.second));
    entries_.clear();
    return links;
}

TLinkResult TDevTable::CheckDevIndex(int Index) const {
    TLinkResult result = 0;
    Hold(Index, result);
    return result;
}

TLinkHold TDevTable::Hold(int Index, TLinkResult& Result) const {
    if (!TDeviceIndex(Index).Valid()) {
        Result = errParam;
        return nullptr;
    }
    TLinkHold link = Hold(Index);
    Result = link ? 0 : errNotOpen;
    return link;
}

TLinkHold TDevTable::Hold(int Index) const {
    const std::lock_guard<std::mutex> hold(lock_);
    return Find(Index);
}

TLinkHold TDevTable::Find(int Index) const {
    const TDeviceIndex index(Index);
    if (index.Serial())
        return serial_[index.ComNumber() - 1];
    if (index.Usb()) {
        const TLinkHold* link = usb_.FindByKey(index.UsbKey());
        return link ? *link : nullptr;
    }
    return nullptr;
}

TLinkHold TDevTable::PutSerial(int Port, TLinkHold Link) {
    const std::lock_guard<std::mutex> hold(lock_);
    std::swap(serial_[Port - 1], Link);
    return Link;
}

TLinkHold TDevTable::Take(int Index) {
    const TDeviceIndex index(Index);
    const std::lock_guard<std::mutex> hold(lock_);
    if (index.Serial())
        return std::move(serial_[index.ComNumber() - 1]);
    if (index.Usb())
        return usb_.Take(index.UsbKey());
    return nullptr;
}

int TDevTable::FreeUsbKey() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return usb_.FreeKey();
}

bool TDevTable::AddUsb(int Key, TLinkHold Link) {
    const std::lock_guard<std::mutex> hold(lock_);
    return usb_.Add(Key, std::move(Link)) >= 0;
}

void TDevTable::FreeAll() {
    std::vector<TLinkHold> links;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        links = usb_.TakeAll();
        for (TLinkHold& slot : serial_)
            links.push_back(std::move(slot));
    }
}
