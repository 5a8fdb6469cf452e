#include "tools/sim/SimOptions.h"

#include "link/core/QuorxCom.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

bool ParseInt(const std::string& S, long long Min, long long Max, long long& Out) {
    if (S.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(S.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < Min || v > Max)
        return false;
    Out = v;
    return true;
}

std::vector<std::string> Split(const std::string& S, const std::string& Separators) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : S) {
        if (Separators.find(c) != std::string::npos) {
            if (!cur.empty())
                parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        parts.push_back(cur);
    return parts;
}

bool ParseIntList(const std::string& S, long long Min, long long Max, std::vector<long long>& Out) {
    Out.clear();
    for (const std::string& part : Split(S, ",")) {
        long long v;
        if (!ParseInt(part, Min, Max, v))
            return false;
        Out.push_back(v);
    }
    return !Out.empty();
}

bool ParseChambers(const std::string& S, std::array<bool, 10>& Present) {
    Present.fill(false);
    if (S == "none")
        return true;
    std::vector<long long> list;
    if (!ParseIntList(S, 0, 9, list))
        return false;
    for (long long n : list)
        Present[static_cast<std::size_t>(n)] = true;
    return true;
}

bool ParseTa(const std::string& S, std::array<std::uint8_t, 4>& Ta) {
    if (S.size() != 8)
        return false;
    for (std::size_t i = 0; i < 4; ++i) {
        long long v;
        if (!ParseInt("0x" + S.substr(2 * i, 2), 0, 255, v))
            return false;
        Ta[i] = static_cast<std::uint8_t>(v);
    }
    return true;
}

bool ApplyChamberValues(const std::string& S, TInstrumentModel& Model) {
    std::vector<long long> v;
    if (!ParseIntList(S, -32768, 32767, v) || v.size() < 3 || v.size() > 4 || v[0] < 0 || v[0] > 9)
        return false;
    TChamberModel& c = Model.Chambers[static_cast<std::size_t>(v[0])];
    c.Humidity = static_cast<std::int16_t>(v[1]);
    c.Temperature = static_cast<std::int16_t>(v[2]);
    if (v.size() == 4)
        c.Third = static_cast<std::int16_t>(v[3]);
    return true;
}

bool ApplyUnits(const std::string& S, TDevUnits& Units) {
    std::vector<long long> v;
    if (!ParseIntList(S, 0, 2, v) || v.size() != 3 || v[0] > 1 || v[1] > 1)
        return false;
    Units = {static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(v[1]),
             static_cast<std::uint8_t>(v[2])};
    return true;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

// "CODE" or "CODE/PARAM".
bool ParseEventHead(const std::string& S, std::uint16_t& Code, std::uint8_t& Param) {
    const auto slash = S.find('/');
    long long code, param = 0;
    if (!ParseInt(S.substr(0, slash), 0, 0xFFFF, code))
        return false;
    if (slash != std::string::npos && !ParseInt(S.substr(slash + 1), 0, 255, param))
        return false;
    Code = static_cast<std::uint16_t>(code);
    Param = static_cast<std::uint8_t>(param);
    return true;
}

// Word and the rest of the line after one run of blanks.
void SplitHead(const std::string& Line, std::string& Head, std::string& Rest) {
    const auto start = Line.find_first_not_of(" \t");
    if (start == std::string::npos) {
        Head.clear();
        Rest.clear();
        return;
    }
    const auto end = Line.find_first_of(" \t", start);
    Head = Line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const auto restStart = end == std::string::npos ? end : Line.find_first_not_of(" \t", end);
    Rest = restStart == std::string::npos ? std::string() : Line.substr(restStart);
}

} // namespace

Bytes DecodeEscapes(const std::string& Text) {
    Bytes out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c != '\\' || i + 1 == Text.size()) {
            out.push_back(static_cast<std::uint8_t>(c));
            continue;
        }
        const char e = Text[++i];
        if (e == 'r')
            out.push_back('\r');
        else if (e == 'n')
            out.push_back('\n');
        else if (e == 't')
            out.push_back('\t');
        else if (e == 'x' && i + 2 < Text.size() && HexDigit(Text[i + 1]) >= 0 &&
                 HexDigit(Text[i + 2]) >= 0) {
            out.push_back(
                static_cast<std::uint8_t>(HexDigit(Text[i + 1]) * 16 + HexDigit(Text[i + 2])));
            i += 2;
        } else if (e == '\\') {
            out.push_back('\\');
        } else {
            out.push_back('\\');
            out.push_back(static_cast<std::uint8_t>(e));
        }
    }
    return out;
}

bool ParseFault(const std::string& Text, TFaults& Out, std::string& Error) {
    const std::vector<std::string> t = Split(Text, ": \t");
    TFaults f;
    long long a = 0, b = -1;
    const auto arg = [&](std::size_t i, long long Min, long long Max, long long& V) {
        return t.size() <= i || ParseInt(t[i], Min, Max, V);
    };
    bool ok = !t.empty() && t.size() <= 3;
    const std::string kind = ok ? t[0] : std::string();
    if (!ok) {
    } else if (kind == "none") {
        ok = t.size() == 1;
    } else if (kind == "silence") {
        f.Silence = true;
        ok = t.size() == 1;
    } else if (kind == "corrupt-check") {
        f.CorruptCheck = true;
        ok = t.size() == 1;
    } else if (kind == "trickle") {
        a = 50;
        ok = t.size() <= 2 && arg(1, 1, 60000, a);
        f.TrickleMs = static_cast<int>(a);
    } else if (kind == "wrong-length") {
        a = -1;
        ok = t.size() <= 2 && arg(1, -1000, 1000, a) && a != 0;
        f.LengthDelta = static_cast<int>(a);
    } else if (kind == "status") {
        ok = t.size() >= 2 && arg(1, 1, 255, a) && arg(2, 0, 0xFFFF, b);
        f.Status = static_cast<int>(a);
        f.StatusReqNo = static_cast<int>(b);
    } else if (kind == "noise") {
        a = 250;
        ok = t.size() <= 2 && arg(1, 1, 60000, a);
        f.NoiseMs = static_cast<int>(a);
    } else {
        ok = false;
    }
    if (!ok) {
        Error = "bad fault: " + Text;
        return false;
    }
    Out = f;
    return true;
}

std::vector<TSimConfig> TSimProgram::Instruments() const {
    if (BusAddresses.empty())
        return {Config};
    std::vector<TSimConfig> all;
    for (std::size_t k = 0; k < BusAddresses.size(); ++k) {
        TSimConfig c = Config;
        c.BusAddress = BusAddresses[k];
        c.Seed = Config.Seed + static_cast<std::uint32_t>(k);
        for (TChamberModel& ch : c.Model.Chambers)
            ch.Serial += static_cast<std::uint32_t>(100 * k);
        all.push_back(std::move(c));
    }
    return all;
}

bool ParseSimArgs(const std::vector<std::string>& Args, TSimProgram& Out, std::string& Error) {
    TSimConfig& c = Out.Config;
    TInstrumentModel& m = c.Model;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& opt = Args[i];
        const auto flag = [&](const char* Name) { return opt == Name; };
        std::string value;
        const auto takeValue = [&]() {
            if (i + 1 >= Args.size())
                return false;
            value = Args[++i];
            return true;
        };
        const auto number = [&](long long Min, long long Max, auto& Field) {
            long long v;
            if (!takeValue() || !ParseInt(value, Min, Max, v))
                return false;
            Field = static_cast<std::remove_reference_t<decltype(Field)>>(v);
            return true;
        };
        std::array<bool, 10> present{};
        std::vector<long long> list;
        bool ok = true;
        if (flag("--help") || flag("-h")) {
            Out.Help = true;
        } else if (flag("--pty")) {
            ok = takeValue() && !(Out.Pty = value).empty();
        } else if (flag("--ready")) {
            ok = takeValue() && !(Out.Ready = value).empty();
        } else if (flag("--control")) {
            ok = takeValue() && !(Out.Control = value).empty();
        } else if (flag("--device-id")) {
            ok = takeValue() && !(m.DeviceId = value).empty();
        } else if (flag("--sw-version")) {
            ok = takeValue() && !(m.SwVersion = value).empty();
        } else if (flag("--profile-cap")) {
            ok = number(0, 0xFFFF, m.ProfileCap);
        } else if (flag("--reqm-cap")) {
            ok = number(0, 0xFFFF, m.ReqMCap);
        } else if (flag("--ta")) {
            ok = takeValue() && ParseTa(value, m.Ta);
        } else if (flag("--chambers")) {
            ok = takeValue() && ParseChambers(value, present);
            if (ok)
                m.SetPresent(present);
        } else if (flag("--chamber-id")) {
            ok = takeValue();
            for (TChamberModel& ch : m.Chambers)
                ch.Identity = value;
        } else if (flag("--chamber-version")) {
            ok = takeValue();
            for (TChamberModel& ch : m.Chambers)
                ch.Version = value;
        } else if (flag("--serial-base")) {
            std::uint32_t base = 0;
            ok = number(0, 99999999, base);
            for (std::size_t n = 0; n < 10; ++n)
                m.Chambers[n].Serial = base + static_cast<std::uint32_t>(n);
        } else if (flag("--chamber-values")) {
            ok = takeValue() && ApplyChamberValues(value, m);
        } else if (flag("--units")) {
            ok = takeValue() && ApplyUnits(value, m.Units);
        } else if (flag("--user")) {
            ok = takeValue();
            m.User = value;
        } else if (flag("--stable-after-s")) {
            ok = number(0, 1000000, m.StableAfterS);
        } else if (flag("--steady")) {
            m.Drift = false;
        } else if (flag("--events")) {
            c.InitialMeasEvent = 0xFF;
        } else if (flag("--event-rate-ms")) {
            ok = number(1, 3600000, c.EventRateMs);
        } else if (flag("--event-sequence")) {
            c.EventSequence = true;
        } else if (flag("--reply-delay-ms")) {
            ok = number(0, 600000, c.ReplyDelayMs);
        } else if (flag("--bus")) {
            ok = takeValue() && ParseIntList(value, 0, 255, list);
            for (long long a : list) {
                ok = ok && a != kBusBroadcast && BusAddressAccepted(static_cast<int>(a));
                Out.BusAddresses.push_back(static_cast<int>(a));
            }
        } else if (flag("--nibble")) {
            c.Nibble = true;
        } else if (flag("--pace-baud")) {
            ok = number(1, 10000000, c.PaceBaud);
        } else if (flag("--fault")) {
            ok = takeValue() && ParseFault(value, c.Faults, Error);
        } else if (flag("--restart")) {
            Out.Restart = true;
        } else if (flag("--seed")) {
            ok = number(0, 0xFFFFFFFFll, c.Seed);
        } else {
            Error = "unknown option: " + opt;
            return false;
        }
        if (!ok) {
            if (Error.empty())
                Error = "bad value for " + opt + (value.empty() ? "" : ": " + value);
            return false;
        }
    }
    return true;
}

bool ApplyControlLine(const std::string& Line, const std::vector<TInstrumentSim*>& Sims,
                      std::uint64_t NowUs, std::string& Error) {
    std::string head, rest;
    SplitHead(Line, head, rest);
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ' || rest.back() == '\t'))
        rest.pop_back();
    if (head.empty() || head[0] == '#')
        return true;
    const double seconds = static_cast<double>(NowUs) / 1e6;
    const auto bad = [&] {
        Error = "bad control line: " + Line;
        return false;
    };
    if (head == "fault") {
        TFaults f;
        if (!ParseFault(rest, f, Error))
            return false;
        for (TInstrumentSim* s : Sims)
            s->SetFaults(f);
    } else if (head == "events") {
        if (rest != "on" && rest != "off")
            return bad();
        for (TInstrumentSim* s : Sims)
            s->SetMeasEvent(rest == "on" ? 0xFF : 0, NowUs);
    } else if (head == "rate") {
        long long ms;
        if (!ParseInt(rest, 1, 3600000, ms))
            return bad();
        for (TInstrumentSim* s : Sims)
            s->SetEventRateMs(static_cast<int>(ms));
    } else if (head == "protocol") {
        std::string code, text;
        SplitHead(rest, code, text);
        std::uint16_t c;
        std::uint8_t p;
        if (!ParseEventHead(code, c, p))
            return bad();
        for (TInstrumentSim* s : Sims)
            s->SendEvent(c, p, DecodeEscapes(text), NowUs);
    } else if (head == "restart") {
        for (TInstrumentSim* s : Sims)
            s->SendRestart(NowUs);
    } else if (head == "chambers") {
        std::array<bool, 10> present;
        if (!ParseChambers(rest, present))
            return bad();
        for (TInstrumentSim* s : Sims)
            s->Instrument().SetPresent(present, seconds);
    } else if (head == "user") {
        for (TInstrumentSim* s : Sims)
            s->Instrument().Model().User = rest;
    } else if (head == "device-id") {
        for (TInstrumentSim* s : Sims)
            s->Instrument().Model().DeviceId = rest;
    } else {
        return bad();
    }
    return true;
}

std::string SimUsage() {
    std::ostringstream o;
    o << "Usage: quorx-sim --pty PATH --ready FILE [options]\n"
         "Plays one instrument (or several on a bus) on the pty PATH, creates FILE when\n"
         "ready, and serves until SIGTERM or SIGINT (exit 0).\n"
         "\n"
         "Line:\n"
         "  --pty PATH               pty to serve (raw mode; its baud rate is ignored)\n"
         "  --ready FILE             created (empty) once serving\n"
         "  --control FILE           polled every 50 ms; its lines run when it changes\n"
         "                           (write it whole, e.g. by rename, and wait for FILE.ack)\n"
         "  --bus A[,A...]           instruments at these bus addresses (0..112, 125)\n"
         "  --nibble                 5-bit line: every byte as two nibbles\n"
         "  --pace-baud N            bytes leave at N baud (10 bits a byte)\n"
         "  --reply-delay-ms N       a reply is ready N ms after its request\n"
         "Instrument:\n"
         "  --device-id TEXT         request 1/0 (default ZEPHORA)\n"
         "  --sw-version TEXT        request 1/1 (default 3.21)\n"
         "  --profile-cap N          request 2/0 (default 2)\n"
         "  --reqm-cap N             request 2/1 (default 1)\n"
         "  --ta HEX8                request 0xF1, four bytes (default 01020304)\n"
         "  --chambers LIST|none     chambers present, e.g. 0,3,5 (default 0)\n"
         "  --chamber-values N,H,T[,X]  raw targets of chamber N (humidity, temperature, third)\n"
         "  --chamber-id TEXT        identity in request 0x203 (default QC)\n"
         "  --chamber-version TEXT   request 0x100 (default 1.07)\n"
         "  --serial-base N          chamber n has serial N + n (default 1000100);\n"
         "                           on a bus the k-th instrument adds 100 * k\n"
         "  --units H,T,D            request 0x204 (default 0,0,0)\n"
         "  --user TEXT              request 0x205 (default LABUSER)\n"
         "  --stable-after-s N       a chamber analyses N s, then is stable (default 120)\n"
         "  --steady                 values stay at their targets\n"
         "  --events                 measurement events on from the start\n"
         "  --event-rate-ms N        one measurement event every N ms (default 1000)\n"
         "  --event-sequence         a measurement record's stamp seconds count the\n"
         "                           measurement events sent (an event's: its number)\n"
         "  --restart                send a restart event (code 0) once serving\n"
         "  --fault FAULT            misbehave (last one wins), FAULT one of:\n"
         "                             none | silence | corrupt-check | trickle[:MS]\n"
         "                             | wrong-length[:DELTA] | status:N[:REQNO] | noise[:MS]\n"
         "  --seed N                 seed of the line noise\n"
         "\n"
         "Control file lines (run in order when the file appears or its content changes;\n"
         "the content run is then copied to FILE.ack):\n"
         "  fault FAULT              as --fault, words split by blanks or ':'\n"
         "  events on|off            switch measurement events\n"
         "  rate MS                  measurement event period\n"
         "  protocol CODE[/PARAM] TEXT  event CODE (e.g. 0x101) for chamber PARAM (default 0)\n"
         "                           with TEXT as data (\\r \\n \\t \\\\ \\xHH decoded)\n"
         "  restart                  restart event; measurement events off\n"
         "  chambers LIST|none       chambers present from now on\n"
         "  user TEXT / device-id TEXT\n"
         "  # ...                    comment (change one to repeat a command)\n";
    return o.str();
}
