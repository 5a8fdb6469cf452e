#include "tools/bench/BenchFigures.h"

#include "link/core/QuorxCom.h"
#include "link/core/QuorxFrame.h"

#include <algorithm>
#include <cmath>

double Percentile(std::vector<double> Samples, double P) {
    if (Samples.empty())
        return 0;
    std::sort(Samples.begin(), Samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(P / 100.0 * Samples.size()));
    return Samples[std::clamp<std::size_t>(rank, 1, Samples.size()) - 1];
}

int RequestWireBytes(std::uint16_t ReqNo, std::uint8_t Param) {
    return static_cast<int>(BuildFrame(kFrameRequest, ReqNo, Param, nullptr, 0, 0).Wire.size());
}

int ReplyWireBytes(const void* Data, int Count) {
    Bytes stuffed;
    StuffBytes(Data, Count, stuffed);
    return 1 + static_cast<int>(stuffed.size()) + 1 + 1 + 2; // F3, data, F6, status, check
}

int EventWireBytes(std::uint16_t Code, std::uint8_t Param, const void* Data, int Count) {
    Bytes head(3);
    head[0] = static_cast<std::uint8_t>(Code & 0xFF);
    head[1] = static_cast<std::uint8_t>(Code >> 8);
    head[2] = Param;
    Bytes stuffedHead, stuffedData;
    StuffBytes(head.data(), 3, stuffedHead);
    StuffBytes(Data, Count, stuffedData);
    return 1 + static_cast<int>(stuffedHead.size() + stuffedData.size()) + 1 + 2; // F5 .. F6, check
}

double WireMs(int WireBytes) {
    return WireBytes * 1000.0 / kLineBytesPerSecond;
}

double FirstPollMs(double WireMs) {
    return std::max(1.0, std::ceil(WireMs / kPollSleepMs)) * kPollSleepMs;
}

double EventBoundPerSecond(int WireBytesPerEvent) {
    return WireBytesPerEvent > 0 ? kLineBytesPerSecond / WireBytesPerEvent : 0;
}

void TEventLoss::Finish(std::uint32_t SentAfter) {
    FSent = SentAfter >= FSentBefore ? SentAfter - FSentBefore : 0;
    std::sort(FNumbers.begin(), FNumbers.end());
    FReceived = 0;
    FStrays = 0;
    for (std::size_t i = 0; i < FNumbers.size(); ++i) {
        const std::uint32_t n = FNumbers[i];
        const bool inWindow = n > FSentBefore && n <= SentAfter;
        if (inWindow && (i == 0 || FNumbers[i - 1] != n))
            ++FReceived;
        else
            ++FStrays;
    }
}

void TLostTally::Read(int LostNow, bool QueueEmptied) {
    if (QueueEmptied) {
        FKept += LostNow;
        FPending = 0;
    } else {
        FPending = LostNow;
    }
}
