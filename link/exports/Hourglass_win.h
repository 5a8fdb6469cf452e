// The hourglass cursor while an export runs, the previous cursor afterwards.
#pragma once

#include <windows.h>

class THourglass {
public:
    THourglass() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~THourglass() { SetCursor(previous_); }
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;

private:
    HCURSOR previous_;
};
