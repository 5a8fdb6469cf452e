// The single instance of the program: a second start hands its command line to
// the running one and ends. This is the portable half: the name both share, the
// packed command line that crosses over in WM_COPYDATA, and the wait for the
// running instance's answer on a wrapping millisecond counter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The name of the mutex and of the registered window message.
inline constexpr char kSingleInstanceName[] = "TessalyMC-F6BBFD47-0C61-4998-9BEF-F441940825BC";
// Exit code of a second start (ERROR_ALREADY_EXISTS).
inline constexpr int kSecondInstanceExitCode = 183;
// How long a second start waits for the running instance to answer.
inline constexpr uint32_t kForwardTimeoutMs = 5000;

// The program arguments (1..ParamCount), each followed by a NUL, in a zero-filled
// block of length(argument 1) + 3 + sum(length(argument i) + 1) for i >= 2 bytes:
// at least two zero bytes end it, and no arguments give 3 zero bytes.
std::vector<uint8_t> PackCmdLine(const std::vector<std::string>& Args);

// The texts of a packed block of Size bytes, up to the first empty one. The block
// comes from another process: nothing past Size is read, and a text whose NUL
// does not lie inside the block is not taken.
std::vector<std::string> UnpackCmdLine(const void* Block, std::size_t Size);

// A wait of Duration milliseconds on a 32-bit millisecond counter. A counter found
// below the start has wrapped: the wait starts again from there.
class TTickWait {
public:
    TTickWait(uint32_t Now, uint32_t Duration) : FStart(Now), FDuration(Duration) {}
    bool Expired(uint32_t Now);

private:
    uint32_t FStart;
    uint32_t FDuration;
};
