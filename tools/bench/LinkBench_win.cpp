// link_bench COMn [ROUNDS] [EVENT_SECONDS]: how close QuorxComDll comes to the
// line it runs on. Against an instrument that sends its bytes at 19200 baud and
// numbers its measurement events (quorx-sim --event-sequence) it measures the
// median and 95th percentile of GetDevId and of a 128-byte measurement request,
// each beside the first poll after its wire time (what the library can reach)
// and the wire time alone; then switches measurement events on for the window,
// counts the events a second that reach the event procedure, switches them off,
// reads every event still on its way, and counts the events lost: the numbers
// that never arrived, beside the library's own count. Exit code 0, or 1 when the
// port cannot be opened, a transaction fails or an event is lost.
#include "ProflinkH.h"
#include "QuorxComDllH.h"
#include "tools/bench/BenchClock_win.h"
#include "tools/bench/BenchFigures.h"
#include "tools/RunEvents_win.h"

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kTarget = 1.3; // times the bound
constexpr std::uint16_t kMeasRequest = 0x201;
constexpr std::uint16_t kMeasEvent = 0x100;
constexpr std::uint16_t kMeasEventSwitch = 0x200;
constexpr std::uint8_t kAllChambers = 255;
// Switching events off waits behind the events still queued on the line.
constexpr int kSwitchOffTotalMs = 120000;
// After the switch-off's reply every event is in; the timer takes the rest.
constexpr DWORD kAfterWindowMs = 500;

const char* Verdict(double Ratio) {
    return Ratio <= kTarget ? "within target" : "OVER TARGET";
}

struct TTimed {
    std::vector<double> Ms;
    int WireBytes = 0;
};

void PrintTimes(const char* Name, const TTimed& T) {
    const double wire = WireMs(T.WireBytes);
    const double bound = FirstPollMs(wire);
    const double median = Percentile(T.Ms, 50);
    const double p95 = Percentile(T.Ms, 95);
    std::printf("%-22s median %7.1f ms  p95 %7.1f ms  bound %6.1f ms (first poll after %.1f ms"
                " on the wire, %d bytes)  p95/bound %.2f %s\n",
                Name, median, p95, bound, wire, T.WireBytes, p95 / bound, Verdict(p95 / bound));
}

// Rounds of one transaction; Call returns its result and sets the count of
// reply bytes (the data that went into Buf). False when one fails.
template <class F>
bool TimeRounds(const char* Name, int Rounds, std::uint16_t ReqNo, std::uint8_t Param,
                const void* Buf, F Call, TTimed& Out) {
    for (int i = 0; i < Rounds; ++i) {
        int count = 0;
        const double start = NowMs();
        const TLinkResult r = Call(count);
        Out.Ms.push_back(NowMs() - start);
        if (r != 0) {
            std::printf("%s failed: %d\n", Name, r);
            return false;
        }
        Out.WireBytes = RequestWireBytes(ReqNo, Param) + ReplyWireBytes(Buf, count);
    }
    return true;
}

// The number a measurement record carries: its stamp's seconds.
std::uint32_t RecordNumber(const std::uint8_t* Record) {
    std::uint32_t n = 0;
    std::memcpy(&n, Record + offsetof(TMEASall, Stamp) + offsetof(TMeasStamp, Seconds), sizeof n);
    return n;
}

// The count of measurement events the instrument has sent so far.
bool SentSoFar(int Port, std::uint32_t& Sent) {
    std::uint8_t record[sizeof(TMEASall)];
    const TLinkResult r =
        SendRequest(Port, kMeasRequest, kAllChambers, nullptr, 0, record, sizeof record, nullptr);
    if (r != 0) {
        std::printf("measurement request failed: %d\n", r);
        return false;
    }
    Sent = RecordNumber(record);
    return true;
}

struct TEventTally {
    bool InWindow = false;
    int Events = 0; // arrived in the window
    int WireBytes = 0;
    double FirstMs = 0;
    double LastMs = 0;
    TEventLoss* Loss = nullptr;
    TLostTally LibraryLost;
};
TEventTally gTally;

void QUORX_CALL Drain(TDevIndex Index) {
    int count = 0;
    int lost = 0;
    GetNumEvent(Index, &count, nullptr, &lost);
    for (int i = 0; i < count; ++i) {
        std::uint16_t code = 0;
        std::uint8_t param = 0;
        static std::uint8_t data[5001];
        int len = 0;
        if (GetEvent(Index, &code, &param, data, sizeof data, &len) != 0 || code != kMeasEvent ||
            len != static_cast<int>(sizeof(TMEASall)))
            continue;
        gTally.Loss->Receive(RecordNumber(data));
        if (!gTally.InWindow)
            continue;
        const double now = NowMs();
        if (gTally.Events++ == 0)
            gTally.FirstMs = now;
        gTally.LastMs = now;
        gTally.WireBytes = EventWireBytes(code, param, data, len);
    }
    int left = 0;
    GetNumEvent(Index, &left, nullptr, nullptr);
    gTally.LibraryLost.Read(lost, left == 0);
}

bool SwitchEvents(int Port, std::uint8_t Value) {
    const TLinkResult r = SendCommand(Port, kMeasEventSwitch, 0, &Value, 1, nullptr, 0, nullptr);
    if (r != 0)
        std::printf("events cannot be switched %s: %d\n", Value ? "on" : "off", r);
    return r == 0;
}

bool MeasureEvents(int Port, double Seconds) {
    std::uint32_t before = 0;
    if (!SentSoFar(Port, before))
        return false;
    TEventLoss loss(before);
    gTally.Loss = &loss;
    SetRecEventProc(Port, Drain);
    if (!SwitchEvents(Port, 0xFF))
        return false;
    gTally.InWindow = true;
    RunEvents(static_cast<DWORD>(Seconds * 1000));
    gTally.InWindow = false;
    SetTimeouts(Port, 1000, kSwitchOffTotalMs);
    const bool off = SwitchEvents(Port, 0);
    RunEvents(kAfterWindowMs);
    Drain(Port);
    std::uint32_t after = 0;
    if (!off || !SentSoFar(Port, after))
        return false;
    Drain(Port);
    loss.Finish(after);

    const double spanS = (gTally.LastMs - gTally.FirstMs) / 1000.0;
    const double rate = gTally.Events > 1 && spanS > 0 ? (gTally.Events - 1) / spanS : 0;
    const double bound = EventBoundPerSecond(gTally.WireBytes);
    std::printf("%-22s %7.2f /s  bound %6.2f /s (%d bytes each)  bound/rate %.2f %s,"
                "  %d in the window\n",
                "measurement events", rate, bound, gTally.WireBytes, rate > 0 ? bound / rate : 0,
                rate > 0 ? Verdict(bound / rate) : "none arrived", gTally.Events);
    const bool none = loss.Lost() == 0 && loss.Strays() == 0;
    std::printf("%-22s %u sent, %u received, %u lost (the library counted %d), %u strays  %s\n",
                "event loss", loss.Sent(), loss.Received(), loss.Lost(), gTally.LibraryLost.Total(),
                loss.Strays(), none ? "none lost" : "EVENTS LOST");
    return none;
}

} // namespace

int main(int argc, char** argv) {
    const std::string name = argc > 1 ? argv[1] : "";
    if (name.rfind("COM", 0) != 0) {
        std::printf("usage: link_bench COMn [ROUNDS] [EVENT_SECONDS]\n");
        return 1;
    }
    const int port = std::atoi(name.c_str() + 3);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 50;
    const double seconds = argc > 3 ? std::atof(argv[3]) : 5;
    if (const TLinkResult r = OpenComEx(port, 100, 5001, 19200, 128790, 0)) {
        std::printf("OpenComEx(%d) failed: %d\n", port, r);
        return 1;
    }
    std::printf("%s, 19200 baud (%.0f bytes/s), %d rounds\n", name.c_str(), kLineBytesPerSecond,
                rounds);
    char text[21];
    std::uint8_t record[sizeof(TMEASall)];
    TTimed devId, meas;
    const auto getDevId = [&](int& Count) {
        const TLinkResult r = GetDevId(port, text);
        Count = static_cast<int>(strnlen(text, sizeof text - 1)) + 1; // the text and its NUL
        return r;
    };
    const auto getMeasAll = [&](int& Count) {
        return SendRequest(port, kMeasRequest, kAllChambers, nullptr, 0, record, sizeof record,
                           &Count);
    };
    const bool ok = TimeRounds("GetDevId", rounds, 1, 0, text, getDevId, devId) &&
                    TimeRounds("measurement request", rounds, kMeasRequest, kAllChambers, record,
                               getMeasAll, meas);
    if (ok) {
        PrintTimes("GetDevId", devId);
        PrintTimes("128-byte measurement", meas);
    }
    const bool events = ok && MeasureEvents(port, seconds);
    CloseCom(port);
    return ok && events ? 0 : 1;
}
