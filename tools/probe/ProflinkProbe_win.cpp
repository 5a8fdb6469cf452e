// proflink_probe COMn [seconds]: what an instrument on a serial port reports,
// through QuorxComDll and Proflink. Shows its identity, versions, units and user,
// then each measurement event for a few seconds. Exit code 0 when every call
// succeeded and measurement events arrived, 1 on a failure, 2 on a bad command line.
#include "ProflinkH.h"
#include "QuorxComDllH.h"
#include "tools/probe/ProbeText.h"
#include "tools/RunEvents_win.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kMaxEvents = 100;
constexpr int kMaxEventData = 5001;
constexpr int kBaud = 19200;
constexpr int kRxQueueSize = 128790;
constexpr std::uint16_t kMeasEventCode = 0x100;
constexpr std::uint8_t kAllChambers = 255;
// Statuses of the user request the application names.
constexpr TLinkResult kNotLoggedIn = 18;
constexpr TLinkResult kNoUser = 19;

struct TProbe {
    TDevUnits Units{};
    int Measurements = 0;
    std::string EventError; // the first failure inside the event procedure
};
TProbe gProbe;

bool Failed(const char* Call, TLinkResult Result) {
    if (Result == 0)
        return false;
    std::fprintf(stderr, "%s failed: error %d\n", Call, Result);
    return true;
}

bool ParsePort(const char* Arg, int& Port) {
    if (_strnicmp(Arg, "COM", 3) != 0)
        return false;
    char* end = nullptr;
    const long n = std::strtol(Arg + 3, &end, 10);
    if (end == Arg + 3 || *end != '\0' || n < 1 || n > 256)
        return false;
    Port = static_cast<int>(n);
    return true;
}

bool ParseSeconds(const char* Arg, int& Seconds) {
    char* end = nullptr;
    const long n = std::strtol(Arg, &end, 10);
    if (end == Arg || *end != '\0' || n < 1 || n > 3600)
        return false;
    Seconds = static_cast<int>(n);
    return true;
}

void ShowMeasurement(const TMEASall& Meas) {
    std::printf("%s\n", Probe::StampText(Meas.Stamp, gProbe.Units.DateFormat).c_str());
    bool any = false;
    for (int n = 0; n < 10; ++n) {
        if ((Meas.Chamber[n].Status & csPresent) == 0)
            continue;
        any = true;
        std::printf("  %s\n",
                    Probe::ChamberLine(n, gProbe.Units.HumidityMode, Meas.Chamber[n]).c_str());
    }
    if (!any)
        std::printf("  no chamber present\n");
}

void NoteEventError(const char* Call, TLinkResult Result) {
    if (gProbe.EventError.empty())
        gProbe.EventError = std::string(Call) + " failed: error " + std::to_string(Result);
}

void QUORX_CALL OnEvents(TDevIndex Index) {
    int count = 0;
    if (const TLinkResult r = GetNumEvent(Index, &count, nullptr, nullptr); r != 0)
        return NoteEventError("GetNumEvent", r);
    for (int i = 0; i < count; ++i) {
        std::uint16_t code = 0;
        std::uint8_t param = 0;
        static std::uint8_t data[kMaxEventData];
        int len = 0;
        if (const TLinkResult r = GetEvent(Index, &code, &param, data, sizeof data, &len); r != 0)
            return NoteEventError("GetEvent", r);
        if (code != kMeasEventCode || param != kAllChambers) {
            std::printf("event 0x%04X for %u with %d bytes\n", code, param, len);
            continue;
        }
        TMEASall meas;
        if (const TLinkResult r = EventDataToTMEASall(data, len, &meas); r != 0)
            return NoteEventError("EventDataToTMEASall", r);
        ++gProbe.Measurements;
        ShowMeasurement(meas);
    }
    std::fflush(stdout);
}

std::string TextOf(const char* Text, std::size_t Size) {
    return std::string(Text, strnlen(Text, Size));
}

bool ShowInstrument(int Port) {
    char id[21], version[21];
    TDevTextAll ids, versions;
    if (Failed("GetDevId", GetDevId(Port, id)) ||
        Failed("GetDevSWVers", GetDevSWVers(Port, version)) ||
        Failed("GetIDSerialAll", GetIDSerialAll(Port, &ids)) ||
        Failed("GetSWVersAll", GetSWVersAll(Port, &versions)) ||
        Failed("GetDevUnits", GetDevUnits(Port, &gProbe.Units)))
        return false;
    std::printf("Instrument %s, software %s\n", TextOf(id, sizeof id).c_str(),
                TextOf(version, sizeof version).c_str());
    for (int n = 0; n < 10; ++n) {
        const std::string idSerial = TextOf(ids.Text[n].Text, sizeof ids.Text[n].Text);
        if (!idSerial.empty())
            std::printf("  chamber %d: %s, version %s\n", n, idSerial.c_str(),
                        TextOf(versions.Text[n].Text, sizeof versions.Text[n].Text).c_str());
    }
    std::printf("Units: %s\n", Probe::UnitsText(gProbe.Units).c_str());
    TDevText user;
    const TLinkResult r = GetDevUser(Port, &user);
    if (r == kNotLoggedIn)
        std::printf("User: not logged in\n");
    else if (r == kNoUser)
        std::printf("User:\n");
    else if (Failed("GetDevUser", r))
        return false;
    else
        std::printf("User: %s\n", TextOf(user.Text, sizeof user.Text).c_str());
    return true;
}

bool WatchMeasurements(int Port, int Seconds) {
    if (Failed("SetRecEventProc", SetRecEventProc(Port, OnEvents)) ||
        Failed("SetMeasEvent", SetMeasEvent(Port, 0xFF)))
        return false;
    std::printf("Measurement events for %d s:\n", Seconds);
    std::fflush(stdout);
    RunEvents(static_cast<DWORD>(Seconds) * 1000);
    const bool off = !Failed("SetMeasEvent", SetMeasEvent(Port, 0));
    SetRecEventProc(Port, nullptr);
    if (!gProbe.EventError.empty()) {
        std::fprintf(stderr, "%s\n", gProbe.EventError.c_str());
        return false;
    }
    if (gProbe.Measurements == 0) {
        std::fprintf(stderr, "No measurement event within %d s\n", Seconds);
        return false;
    }
    return off;
}

} // namespace

int main(int argc, char** argv) {
    int port = 0;
    int seconds = 5;
    if (argc < 2 || argc > 3 || !ParsePort(argv[1], port) ||
        (argc == 3 && !ParseSeconds(argv[2], seconds))) {
        std::fprintf(stderr, "Usage: proflink_probe COMn [seconds]\n"
                             "  n 1..256; seconds of measurement events, 1..3600 (default 5)\n");
        return 2;
    }
    if (const TLinkResult r = OpenComEx(port, kMaxEvents, kMaxEventData, kBaud, kRxQueueSize, 0);
        r != 0) {
        std::fprintf(stderr, "Cannot open COM%d: error %d\n", port, r);
        return 1;
    }
    const bool ok = ShowInstrument(port) && WatchMeasurements(port, seconds);
    CloseCom(port);
    std::fflush(stdout);
    return ok ? 0 : 1;
}
