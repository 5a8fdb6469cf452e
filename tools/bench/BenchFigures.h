// The figures of the link benchmark: percentiles of measured times, the
// physical bound of each measurement (the bytes a frame puts on a line that
// carries 1920 bytes a second: 19200 baud, 10 bits a byte), and the loss of
// measurement events that the simulator numbers.
#pragma once

#include <cstdint>
#include <vector>

constexpr double kLineBytesPerSecond = 1920.0;

// The nearest-rank P-th percentile (0 < P <= 100) of Samples; 0 for none.
double Percentile(std::vector<double> Samples, double P);

// Bytes on the wire of a request frame without data.
int RequestWireBytes(std::uint16_t ReqNo, std::uint8_t Param);
// Bytes on the wire of a reply frame with these data bytes (its check counted
// unstuffed: at least two bytes).
int ReplyWireBytes(const void* Data, int Count);
// Bytes on the wire of an event frame with these data bytes (check as above).
int EventWireBytes(std::uint16_t Code, std::uint8_t Param, const void* Data, int Count);

// Milliseconds the bytes take on the line.
double WireMs(int WireBytes);
// What a transaction can reach: the link looks for its reply every 20 ms after
// sending, so a reply that is on the line after WireMs is seen at the first
// poll from then on.
double FirstPollMs(double WireMs);
// Events a second that the line can carry at most.
double EventBoundPerSecond(int WireBytesPerEvent);

// Measurement events numbered by the simulator from 1 on: those it had sent
// before the window and those when all had arrived give the events sent in
// between; each number received once within them counts as received.
class TEventLoss {
public:
    explicit TEventLoss(std::uint32_t SentBefore) : FSentBefore(SentBefore) {}
    void Receive(std::uint32_t Number) { FNumbers.push_back(Number); }
    void Finish(std::uint32_t SentAfter);

    std::uint32_t Sent() const { return FSent; }
    std::uint32_t Received() const { return FReceived; }
    std::uint32_t Lost() const { return FSent - FReceived; }
    // Numbers received twice or from outside the window.
    std::uint32_t Strays() const { return FStrays; }

private:
    std::uint32_t FSentBefore;
    std::vector<std::uint32_t> FNumbers;
    std::uint32_t FSent = 0;
    std::uint32_t FReceived = 0;
    std::uint32_t FStrays = 0;
};

// The library's lost counter starts again at 0 whenever its queue is emptied:
// a count read just before the queue was emptied is kept for good, one read
// from a queue left with events is read again, larger, next time.
class TLostTally {
public:
    void Read(int LostNow, bool QueueEmptied);
    int Total() const { return FKept + FPending; }

private:
    int FKept = 0;
    int FPending = 0;
};
