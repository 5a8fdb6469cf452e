// What a device object needs of its transport and of time, so that the frame
// protocol, the transactions and the event queue run the same over a serial
// port, a USB device, or a test's fake.
#pragma once

#include <cstdint>

class IBytePort {
public:
    virtual ~IBytePort() = default;
    // Writes every byte; false when the port is closed or the write was short.
    virtual bool Write(const std::uint8_t* Data, int Count) = 0;
    // Reads at most Max bytes of what is waiting now, never waiting for more;
    // returns the count read (0 when nothing is waiting, closed, or failed).
    virtual int Read(std::uint8_t* Buf, int Max) = 0;
    // Discards what is waiting in both directions.
    virtual void Purge() = 0;
    // Discards what is waiting to be read only; the default discards both ways.
    virtual void PurgeInput() { Purge(); }
    // The platform's modem status word (carrier detect 0x80, ring 0x40);
    // false when it cannot be read.
    virtual bool ReadModemStatus(std::uint32_t& Status) = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds of a tick counter that wraps at 2^32: compare differences only.
    virtual std::uint32_t Now() = 0;
    virtual void Sleep(std::uint32_t Ms) = 0;
};

// Elapsed milliseconds from Start to Now, correct across a wrap of the counter.
inline std::uint32_t TicksSince(std::uint32_t Start, std::uint32_t Now) {
    return Now - Start;
}
