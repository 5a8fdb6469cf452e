// Guards the edges where control returns to code that is not ours (window
// procedures, timer and event callbacks of the libraries): no C++ exception
// crosses them. A caught exception goes to the installed reporter; the program
// carries on. TFlagScope marks a stretch of code that must not be re-entered.
#pragma once

#include <functional>
#include <string>

using TExceptionReporter = std::function<void(const std::string& What)>;

// Installs Reporter (the program shows an error box); returns the previous one.
// Until one is installed, the text goes to the standard error stream.
TExceptionReporter SetExceptionReporter(TExceptionReporter Reporter);

// Hands the exception being handled to the reporter; call only inside a catch block.
void ReportCurrentException() noexcept;

// Body(), or Fallback when it throws.
template <class R, class F>
R Guarded(R Fallback, F&& Body) noexcept {
    try {
        return Body();
    } catch (...) {
        ReportCurrentException();
        return Fallback;
    }
}

template <class F>
void GuardedCall(F&& Body) noexcept {
    try {
        Body();
    } catch (...) {
        ReportCurrentException();
    }
}

// Sets Flag for the lifetime of the scope, however it ends.
class TFlagScope {
public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
    ~TFlagScope() { FFlag = false; }

private:
    bool& FFlag;
};
