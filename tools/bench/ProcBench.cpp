#include "tools/bench/ProcBench.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

double Seconds(std::chrono::steady_clock::time_point Since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Since).count();
}

long StatusKb(const char* Key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(Key, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(Key), nullptr, 10);
    return 0;
}

void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::string Figure(const char* Name, double Value, const char* Unit) {
    char text[80];
    std::snprintf(text, sizeof text, "%s %8.3f %s", Name, Value, Unit);
    return text;
}

bool Report(const char* What, double Value, const char* Unit, const std::string& Against,
            double Reference, double Factor, const char* Of) {
    const double bound = Reference * Factor;
    const bool ok = Value <= bound;
    std::printf("%-5s %8.3f %s   %s, bound %.1f x%s = %8.3f %s   %s\n", What, Value, Unit,
                Against.c_str(), Factor, Of, bound, Unit, ok ? "ok" : "OVER");
    return ok;
}
