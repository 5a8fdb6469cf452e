// Shared by the native benchmarks: wall time, the process's memory from /proc
// (Linux only), and the report line that prints a figure beside its bound.
#pragma once

#include <chrono>
#include <string>

double Seconds(std::chrono::steady_clock::time_point Since);
// Kilobytes of a line of /proc/self/status ("VmHWM:", "VmRSS:").
long StatusKb(const char* Key);
// The peak (VmHWM) starts again from the memory in use now.
void ResetPeak();
// A reference figure and its name, as Report prints it.
std::string Figure(const char* Name, double Value, const char* Unit);
// Against names the reference figures; the bound is Factor times Reference,
// the one named by Of where Against names more than one. True within the bound.
bool Report(const char* What, double Value, const char* Unit, const std::string& Against,
            double Reference, double Factor, const char* Of = "");
