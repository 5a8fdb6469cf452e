// The event queue of one link: unsolicited frames of the instrument, oldest
// first, bounded in count and in data per event. Its operations may run from
// several threads at once (the timer queues while a caller takes).
#pragma once

#include "link/core/QuorxComTools.h"
#include "QuorxComDllH.h"

#include <cstdint>
#include <deque>
#include <mutex>

struct Ttelegr {
    std::uint16_t Code = 0;
    std::uint8_t Param = 0;
    Bytes Data;
    std::int32_t Status = 0; // 0, or errBuffer: the event carried more than MaxEventData bytes
};

class TEventQueue {
public:
    // Capacity and the most data bytes kept per event; the queue is emptied.
    void Configure(int MaxEvents, int MaxEventData);
    int MaxEvents() const { return maxEvents_; }
    int MaxEventData() const { return maxEventData_; }

    // Appends the event while fewer than MaxEvents are queued, else counts it
    // lost (also when the append cannot allocate; that failure is rethrown).
    // Returns the queue length.
    int QueueEvent(Ttelegr Event);

    // Removes the oldest event into the caller's fields (see GetEvent):
    // 259 for a BufSize outside 0..MaxEventData, 264 when empty, 261 when its
    // data does not fit (it stays queued), else its status; an event of status
    // 261 fills nothing. Out pointers may be nil; a nil Buf holds no data.
    TLinkResult TakeEvent(std::uint16_t* Code, std::uint8_t* Param, void* Buf, int BufSize,
                          int* DataLen);

    // Queued events; Free := MaxEvents - queued, Lost := events dropped since
    // the queue was last emptied.
    int EventCounts(int* Free, int* Lost) const;

private:
    mutable std::mutex lock_;
    std::deque<Ttelegr> events_;
    int maxEvents_ = 0;
    int maxEventData_ = 0;
    int lost_ = 0;
};
