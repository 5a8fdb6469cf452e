// link_bench COMn [ROUNDS] [EVENT_SECONDS]: how close QuorxComDll comes to the
// line it runs on. Against an instrument that sends its bytes at 19200 baud it
// measures the median and 95th percentile of GetDevId and of a 128-byte
// measurement request, then switches measurement events on and counts the
// events a second that reach the event procedure, and the events lost; each
// figure stands next to its physical bound. Exit code 0, or 1 when the port
// cannot be opened or a transaction fails.
#include "QuorxComDllH.h"
#include "tools/bench/BenchFigures.h"
#include "tools/RunEvents_win.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kTarget = 1.3; // times the bound

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

const char* Verdict(double Ratio) {
    return Ratio <= kTarget ? "within target" : "OVER TARGET";
}

struct TTimed {
    std::vector<double> Ms;
    int WireBytes = 0;
};

void PrintTimes(const char* Name, const TTimed& T) {
    const double bound = TransactionBoundMs(T.WireBytes);
    const double median = Percentile(T.Ms, 50);
    const double p95 = Percentile(T.Ms, 95);
    std::printf("%-22s median %7.1f ms  p95 %7.1f ms  bound %6.1f ms (%d bytes + %d ms poll)"
                "  p95/bound %.2f %s\n",
                Name, median, p95, bound, T.WireBytes, 20, p95 / bound, Verdict(p95 / bound));
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

struct TEventTally {
    int Events = 0;
    int WireBytes = 0;
    double FirstMs = 0;
    double LastMs = 0;
};
TEventTally gTally;

void QUORX_CALL Drain(TDevIndex Index) {
    int count = 0;
    GetNumEvent(Index, &count, nullptr, nullptr);
    for (int i = 0; i < count; ++i) {
        std::uint16_t code = 0;
        std::uint8_t param = 0;
        static std::uint8_t data[5001];
        int len = 0;
        if (GetEvent(Index, &code, &param, data, sizeof data, &len) != 0 || code != 0x100)
            continue;
        const double now = NowMs();
        if (gTally.Events++ == 0)
            gTally.FirstMs = now;
        gTally.LastMs = now;
        gTally.WireBytes = EventWireBytes(code, param, data, len);
    }
}

bool MeasureEvents(int Port, double Seconds) {
    SetRecEventProc(Port, Drain);
    const std::uint8_t on = 0xFF;
    if (SendCommand(Port, 0x200, 0, &on, 1, nullptr, 0, nullptr) != 0) {
        std::printf("events cannot be switched on\n");
        return false;
    }
    RunEvents(static_cast<DWORD>(Seconds * 1000));
    const std::uint8_t off = 0;
    SendCommand(Port, 0x200, 0, &off, 1, nullptr, 0, nullptr);
    int lost = 0;
    GetNumEvent(Port, nullptr, nullptr, &lost);
    const double spanS = (gTally.LastMs - gTally.FirstMs) / 1000.0;
    const double rate = gTally.Events > 1 && spanS > 0 ? (gTally.Events - 1) / spanS : 0;
    const double bound = EventBoundPerSecond(gTally.WireBytes);
    std::printf("%-22s %7.2f /s  bound %6.2f /s (%d bytes each)  bound/rate %.2f %s,"
                "  %d events, %d lost\n",
                "measurement events", rate, bound, gTally.WireBytes, rate > 0 ? bound / rate : 0,
                rate > 0 ? Verdict(bound / rate) : "none arrived", gTally.Events, lost);
    return true;
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
    std::uint8_t record[128];
    TTimed devId, meas;
    const auto getDevId = [&](int& Count) {
        const TLinkResult r = GetDevId(port, text);
        Count = static_cast<int>(strnlen(text, sizeof text - 1)) + 1; // the text and its NUL
        return r;
    };
    const auto getMeasAll = [&](int& Count) {
        return SendRequest(port, 0x201, 255, nullptr, 0, record, sizeof record, &Count);
    };
    const bool ok = TimeRounds("GetDevId", rounds, 1, 0, text, getDevId, devId) &&
                    TimeRounds("measurement request", rounds, 0x201, 255, record, getMeasAll, meas);
    if (ok) {
        PrintTimes("GetDevId", devId);
        PrintTimes("128-byte measurement", meas);
    }
    const bool events = ok && MeasureEvents(port, seconds);
    CloseCom(port);
    return ok && events ? 0 : 1;
}
