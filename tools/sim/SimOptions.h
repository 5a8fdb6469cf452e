// The simulator program's command line and its control-file commands, kept
// apart from the program so that tests can run them in process.
#pragma once

#include "tools/sim/SimInstrument.h"

#include <string>
#include <vector>

struct TSimProgram {
    std::string Pty;
    std::string Ready;
    std::string Control;
    TSimConfig Config;
    std::vector<int> BusAddresses; // empty: one instrument on a point-to-point line
    bool Restart = false;          // a restart event once serving begins
    bool Help = false;

    // One configuration per instrument on the line: on a bus each has its own
    // address, serials 100 apart and its own noise seed.
    std::vector<TSimConfig> Instruments() const;
};

// Args without the program name. False with Error for a bad option.
bool ParseSimArgs(const std::vector<std::string>& Args, TSimProgram& Out, std::string& Error);
std::string SimUsage();

// A fault text as "silence", "trickle 50" or "trickle:50", "status 18 0x205", ...
bool ParseFault(const std::string& Text, TFaults& Out, std::string& Error);

// One line of the control file, applied to every instrument on the line.
// Empty lines and lines starting with '#' do nothing.
bool ApplyControlLine(const std::string& Line, const std::vector<TInstrumentSim*>& Sims,
                      std::uint64_t NowUs, std::string& Error);

// "\r", "\n", "\t", "\\" and "\xHH" in a text become their bytes.
Bytes DecodeEscapes(const std::string& Text);
