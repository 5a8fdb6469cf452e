// An instrument's protocol as the byte stream it sends to its printer: text
// lines ended by CR LF, with ESC 'E' and ESC 'F' switching bold print on and
// off. Every escape takes exactly its next byte; nothing else of the printer
// language is interpreted, and the printer's degree sign (0xF8, code page 437)
// becomes the ANSI one (0xB0).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint8_t kEsc = 0x1B;

// A stretch of text printed in one style.
struct TPrinterRun {
    std::string Text; // ANSI characters, control bytes included
    bool Bold = false;
    bool operator==(const TPrinterRun&) const = default;
};

// The character shown for printer byte B.
uint8_t PrinterChar(uint8_t B);

// The first Len bytes of Data (none for Len <= 0) as runs of one style each;
// adjacent runs differ in style. A CR LF pair split by an escape goes whole
// into the later run, so a line break is never inserted in halves.
std::vector<TPrinterRun> PrinterTextRuns(const uint8_t* Data, int32_t Len);
