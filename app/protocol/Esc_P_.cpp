#include "app/protocol/Esc_P_.h"

namespace {

// Moves the CR of a CR LF that an escape split into the run of its LF.
void JoinLineBreaks(std::vector<TPrinterRun>& Runs) {
    for (std::size_t i = 1; i < Runs.size(); ++i) {
        std::string& before = Runs[i - 1].Text;
        if (before.back() != '\r' || Runs[i].Text.front() != '\n')
            continue;
        before.pop_back();
        Runs[i].Text.insert(0, 1, '\r');
        if (!before.empty())
            continue;
        Runs.erase(Runs.begin() + static_cast<std::ptrdiff_t>(i - 1));
        --i;
        if (i > 0 && Runs[i - 1].Bold == Runs[i].Bold) {
            Runs[i - 1].Text += Runs[i].Text;
            Runs.erase(Runs.begin() + static_cast<std::ptrdiff_t>(i));
            --i;
        }
    }
}

} // namespace

uint8_t PrinterChar(uint8_t B) {
    return B == 0xF8 ? 0xB0 : B;
}

std::vector<TPrinterRun> PrinterTextRuns(const uint8_t* Data, int32_t Len) {
    std::vector<TPrinterRun> runs;
    bool bold = false;
    bool escape = false;
    for (int32_t i = 0; Data && i < Len; ++i) {
        const uint8_t b = Data[i];
        if (escape) {
            if (b == 'E')
                bold = true;
            else if (b == 'F')
                bold = false;
            escape = false;
        } else if (b == kEsc) {
            escape = true;
        } else {
            if (runs.empty() || runs.back().Bold != bold)
                runs.push_back({std::string(), bold});
            runs.back().Text += static_cast<char>(PrinterChar(b));
        }
    }
    JoinLineBreaks(runs);
    return runs;
}
