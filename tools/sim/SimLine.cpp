#include "tools/sim/SimLine.h"

#include <limits>

std::uint32_t TFakeClock::Now() {
    const std::uint32_t t = now_;
    now_ += autoAdvanceMs_;
    return t;
}

bool TakeDueFrom(const std::vector<TInstrumentSim*>& Sims, std::uint64_t NowUs, std::uint8_t& B) {
    TInstrumentSim* first = nullptr;
    std::uint64_t due = std::numeric_limits<std::uint64_t>::max();
    for (TInstrumentSim* sim : Sims) {
        if (sim->NextDueUs() < due) {
            due = sim->NextDueUs();
            first = sim;
        }
    }
    return first && first->TakeDue(NowUs, B);
}

TSimLine::TSimLine(IClock& Clock) : clock_(Clock), lastMs_(Clock.Now()) {}

std::uint64_t TSimLine::NowUs() {
    const std::uint32_t now = clock_.Now();
    elapsedMs_ += TicksSince(lastMs_, now);
    lastMs_ = now;
    return elapsedMs_ * 1000;
}

bool TSimLine::Write(const std::uint8_t* Data, int Count) {
    if (writeFails_)
        return false;
    written_.insert(written_.end(), Data, Data + Count);
    const std::uint64_t now = NowUs();
    for (TInstrumentSim* sim : sims_)
        sim->Receive(Data, Count, now);
    return true;
}

int TSimLine::Read(std::uint8_t* Buf, int Max) {
    const std::uint64_t now = NowUs();
    for (TInstrumentSim* sim : sims_)
        sim->Advance(now);
    int n = 0;
    while (n < Max && !injected_.empty()) {
        Buf[n++] = injected_.front();
        injected_.pop_front();
    }
    std::uint8_t b;
    while (n < Max && TakeDueFrom(sims_, now, b))
        Buf[n++] = b;
    return n;
}

void TSimLine::Purge() {
    const std::uint64_t now = NowUs();
    injected_.clear();
    for (TInstrumentSim* sim : sims_)
        sim->DropDue(now);
}

bool TSimLine::ReadModemStatus(std::uint32_t& Status) {
    Status = modemStatus_;
    return modemReadable_;
}
