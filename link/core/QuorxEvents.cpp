#include "link/core/QuorxEvents.h"

#include <climits>

void TEventQueue::Configure(int MaxEvents, int MaxEventData) {
    const std::lock_guard<std::mutex> hold(lock_);
    events_.clear();
    maxEvents_ = MaxEvents;
    maxEventData_ = MaxEventData;
    lost_ = 0;
}

int TEventQueue::QueueEvent(Ttelegr Event) {
    const std::lock_guard<std::mutex> hold(lock_);
    const auto countLost = [this] {
        if (lost_ < INT_MAX)
            ++lost_;
    };
    if (static_cast<long long>(events_.size()) >= maxEvents_) {
        countLost();
        return static_cast<int>(events_.size());
    }
    try {
        events_.push_back(std::move(Event));
    } catch (...) {
        countLost();
        throw;
    }
    return static_cast<int>(events_.size());
}

TLinkResult TEventQueue::TakeEvent(std::uint16_t* Code, std::uint8_t* Param, void* Buf, int BufSize,
                                   int* DataLen) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (BufSize < 0 || BufSize > maxEventData_)
        return errParam;
    if (events_.empty())
        return errNoEvent;
    const Ttelegr& oldest = events_.front();
    const int capacity = Buf ? BufSize : 0;
    if (static_cast<long long>(oldest.Data.size()) > capacity)
        return errBuffer;
    const TLinkResult status = oldest.Status;
    if (status == 0) {
        if (Code)
            *Code = oldest.Code;
        if (Param)
            *Param = oldest.Param;
        CopyBytes(Buf, oldest.Data.data(), static_cast<int>(oldest.Data.size()));
        if (DataLen)
            *DataLen = static_cast<int>(oldest.Data.size());
    }
    events_.pop_front();
    if (events_.empty())
        lost_ = 0;
    return status;
}

int TEventQueue::EventCounts(int* Free, int* Lost) const {
    const std::lock_guard<std::mutex> hold(lock_);
    const int queued = static_cast<int>(events_.size());
    if (Free)
        *Free = maxEvents_ - queued;
    if (Lost)
        *Lost = lost_;
    return queued;
}
