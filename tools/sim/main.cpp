// quorx-sim: the simulated instrument(s) on a pty, for tests that talk to a
// real serial port (Wine's COM port on a socat pty pair). Linux only.
#include "tools/sim/SimLine.h"
#include "tools/sim/SimOptions.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <memory>
#include <poll.h>
#include <sstream>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t gStop = 0;

void OnSignal(int) {
    gStop = 1;
}

constexpr std::uint64_t kControlPollUs = 50'000;
constexpr int kMaxWaitMs = 5;

class TMonotonicUs {
public:
    std::uint64_t Now() const {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                              std::chrono::steady_clock::now() - start_)
                                              .count());
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

int OpenPty(const std::string& Path) {
    const int fd = open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

bool ReadFile(const std::string& Path, std::string& Out) {
    std::ifstream in(Path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    Out = s.str();
    return true;
}

bool WriteFileAtomically(const std::string& Path, const std::string& Content) {
    const std::string tmp = Path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!(out << Content))
            return false;
    }
    return std::rename(tmp.c_str(), Path.c_str()) == 0;
}

// Runs the file's lines when its content differs from what was seen last, then
// copies that content to FILE.ack so a test knows it took effect.
class TControlFile {
public:
    explicit TControlFile(std::string Path) : path_(std::move(Path)) {}
    void Poll(const std::vector<TInstrumentSim*>& Sims, std::uint64_t NowUs) {
        std::string content;
        if (path_.empty() || !ReadFile(path_, content) || content == last_)
            return;
        last_ = content;
        std::istringstream lines(content);
        std::string line, error;
        while (std::getline(lines, line))
            if (!ApplyControlLine(line, Sims, NowUs, error))
                std::cerr << "quorx-sim: " << error << "\n";
        if (!WriteFileAtomically(path_ + ".ack", content))
            std::cerr << "quorx-sim: cannot write " << path_ << ".ack\n";
    }

private:
    std::string path_;
    std::string last_;
};

int Serve(const TSimProgram& Program) {
    const int fd = OpenPty(Program.Pty);
    if (fd < 0) {
        std::perror(("quorx-sim: " + Program.Pty).c_str());
        return 1;
    }
    std::vector<std::unique_ptr<TInstrumentSim>> owned;
    std::vector<TInstrumentSim*> sims;
    for (const TSimConfig& c : Program.Instruments()) {
        owned.push_back(std::make_unique<TInstrumentSim>(c));
        sims.push_back(owned.back().get());
    }
    const TMonotonicUs clock;
    TControlFile control(Program.Control);
    control.Poll(sims, 0);
    if (Program.Restart)
        for (TInstrumentSim* s : sims)
            s->SendRestart(0);
    if (!Program.Ready.empty()) {
        const int ready = open(Program.Ready.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (ready < 0) {
            std::perror(("quorx-sim: " + Program.Ready).c_str());
            return 1;
        }
        close(ready);
    }
    Bytes pendingOut; // due bytes the pty did not take yet
    std::uint64_t nextControl = kControlPollUs;
    std::uint8_t buf[4096];
    while (!gStop) {
        std::uint64_t now = clock.Now();
        int waitMs = kMaxWaitMs;
        for (TInstrumentSim* s : sims)
            if (s->NextDueUs() <= now)
                waitMs = 0;
        if (!pendingOut.empty())
            waitMs = 1;
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, waitMs);
        now = clock.Now();
        if (ready > 0 && (p.revents & POLLIN)) {
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n > 0)
                for (TInstrumentSim* s : sims)
                    s->Receive(buf, static_cast<int>(n), now);
        } else if (ready > 0 && (p.revents & (POLLHUP | POLLERR))) {
            usleep(20'000); // the far end is closed for now; socat may reopen it
        }
        for (TInstrumentSim* s : sims)
            s->Advance(now);
        std::uint8_t b;
        while (TakeDueFrom(sims, now, b))
            pendingOut.push_back(b);
        if (!pendingOut.empty()) {
            const ssize_t n = write(fd, pendingOut.data(), pendingOut.size());
            if (n > 0)
                pendingOut.erase(pendingOut.begin(), pendingOut.begin() + n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                pendingOut.clear();
        }
        if (now >= nextControl) {
            control.Poll(sims, now);
            nextControl = now + kControlPollUs;
        }
    }
    close(fd);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    TSimProgram program;
    std::string error;
    if (!ParseSimArgs(std::vector<std::string>(argv + 1, argv + argc), program, error)) {
        std::cerr << "quorx-sim: " << error << "\n" << SimUsage();
        return 2;
    }
    if (program.Help) {
        std::cout << SimUsage();
        return 0;
    }
    if (program.Pty.empty()) {
        std::cerr << "quorx-sim: --pty PATH is required\n" << SimUsage();
        return 2;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return Serve(program);
}
