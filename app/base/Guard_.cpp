#include "app/base/Guard_.h"

#include <cstdio>
#include <exception>

namespace {

TExceptionReporter& Reporter() {
    static TExceptionReporter reporter;
    return reporter;
}

void Report(const std::string& What) {
    if (Reporter())
        Reporter()(What);
    else
        std::fprintf(stderr, "Exception: %s\n", What.c_str());
}

} // namespace

TExceptionReporter SetExceptionReporter(TExceptionReporter NewReporter) {
    TExceptionReporter previous = std::move(Reporter());
    Reporter() = std::move(NewReporter);
    return previous;
}

void ReportCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            Report(e.what());
        } catch (...) {
            Report("Unknown exception");
        }
    } catch (...) {
        // The reporter itself failed; there is no one left to tell.
    }
}
