// quorx-sim as a program: a native client on the far end of the pty pair
// that scripts/with-com-port made, and the program's own start and stop.
#include "link/core/QuorxCom.h"
#include "link/core/QuorxFrame.h"
#include "ProflinkH.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

class TPosixPort : public IBytePort {
public:
    explicit TPosixPort(int Fd) : fd_(Fd) {}
    ~TPosixPort() override {
        if (fd_ >= 0)
            close(fd_);
    }
    bool Write(const std::uint8_t* Data, int Count) override {
        int done = 0;
        while (done < Count) {
            const ssize_t n = write(fd_, Data + done, static_cast<std::size_t>(Count - done));
            if (n <= 0)
                return false;
            done += static_cast<int>(n);
        }
        return true;
    }
    int Read(std::uint8_t* Buf, int Max) override {
        const ssize_t n = read(fd_, Buf, static_cast<std::size_t>(Max));
        return n > 0 ? static_cast<int>(n) : 0;
    }
    void Purge() override { tcflush(fd_, TCIOFLUSH); }
    bool ReadModemStatus(std::uint32_t&) override { return false; }

private:
    int fd_;
};

class TSteadyClock : public IClock {
public:
    std::uint32_t Now() override {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void Sleep(std::uint32_t Ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(Ms));
    }
};

int OpenRaw(const std::string& Path) {
    const int fd = open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

std::string DevId(TNPDev& Dev, TLinkResult& Result) {
    char text[21];
    int count = 0;
    Result = Dev.Request(1, 0, nullptr, 0, text, -21, &count);
    return ReplyText(text, count, 21);
}

std::string Slurp(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces the control file whole and waits until the simulator acknowledges it.
bool WriteControl(const std::string& Path, const std::string& Text) {
    {
        std::ofstream out(Path + ".tmp", std::ios::trunc);
        out << Text;
    }
    std::rename((Path + ".tmp").c_str(), Path.c_str());
    for (int i = 0; i < 500; ++i) {
        if (Slurp(Path + ".ack") == Text)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class SimOnComPort : public ::testing::Test {
protected:
    void SetUp() override {
        const char* dir = std::getenv("QUORX_PORTS_DIR");
        const char* n = std::getenv("QUORX_COM_PORT");
        const char* control = std::getenv("QUORX_SIM_CONTROL");
        if (!dir || !n || !control)
            GTEST_SKIP() << "runs under scripts/with-com-port with quorx-sim";
        control_ = control;
        // A comment of the test's own makes the content new, so it is run.
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(WriteControl(control_, "fault none\nevents off\n# " + name + "\n"));
        port_ = std::make_unique<TPosixPort>(OpenRaw(std::string(dir) + "/com" + n));
        dev_ = std::make_unique<TNPDev>(*port_, clock_);
        dev_->LinkOpened({TLinkKind::Serial, 38, false, false, false, 100, 5001});
    }

    std::string control_;
    TSteadyClock clock_;
    std::unique_ptr<TPosixPort> port_;
    std::unique_ptr<TNPDev> dev_;
};

TEST_F(SimOnComPort, AnswersRequests) {
    TLinkResult result = -1;
    EXPECT_EQ(DevId(*dev_, result), "KIVANTER");
    EXPECT_EQ(result, 0);
    TMEASall meas{};
    ASSERT_EQ(dev_->Request(0x201, 255, nullptr, 0, &meas, 128, nullptr), 0);
    EXPECT_NE(meas.Chamber[3].Status & csPresent, 0);
    EXPECT_EQ(meas.Chamber[1].Status & csPresent, 0);
    EXPECT_EQ(dev_->ClearOutBuffer(), 0);
}

TEST_F(SimOnComPort, ControlFileSwitchesFaultsAndSendsEvents) {
    ASSERT_TRUE(WriteControl(control_, "fault silence\n"));
    TLinkResult result = -1;
    dev_->SetTimeoutPair(300, 2000);
    DevId(*dev_, result);
    EXPECT_EQ(result, errByteTimeout);
    ASSERT_TRUE(WriteControl(control_, "fault corrupt-check\n"));
    DevId(*dev_, result);
    EXPECT_EQ(result, errChecksum);
    ASSERT_TRUE(WriteControl(control_, "fault none\nprotocol 0x101/3 hello\\r\\n\n"));
    EXPECT_EQ(DevId(*dev_, result), "KIVANTER");
    EXPECT_EQ(result, 0);
    dev_->TimerTick();
    std::uint16_t code = 0;
    std::uint8_t param = 0;
    char text[32];
    int len = 0;
    ASSERT_EQ(dev_->TakeEvent(&code, &param, text, sizeof text, &len), 0);
    EXPECT_EQ(code, 0x101);
    EXPECT_EQ(param, 3);
    EXPECT_EQ(std::string(text, static_cast<std::size_t>(len)), "hello\r\n");
    ASSERT_TRUE(WriteControl(control_, "rate 100\nevents on\n"));
    for (int i = 0; i < 100 && dev_->EventCounts(nullptr, nullptr) < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        dev_->TimerTick();
    }
    ASSERT_GE(dev_->EventCounts(nullptr, nullptr), 2);
    std::uint8_t data[128];
    EXPECT_EQ(dev_->TakeEvent(&code, &param, data, sizeof data, &len), 0);
    EXPECT_EQ(code, 0x100);
    EXPECT_EQ(param, 255);
    EXPECT_EQ(len, 128);
}

TEST(SimProgram, ServesAPtyAndStopsOnSigterm) {
    int master = -1, slave = -1;
    char name[256];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const std::string ready = std::string(::testing::TempDir()) + "quorx-sim-ready";
    std::remove(ready.c_str());
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(master);
        execl(QUORX_SIM_PATH, QUORX_SIM_PATH, "--pty", name, "--ready", ready.c_str(), "--nibble",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(slave);
    for (int i = 0; i < 200 && access(ready.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(access(ready.c_str(), F_OK), 0) << "quorx-sim made no ready file";
    termios t{};
    tcgetattr(master, &t);
    cfmakeraw(&t);
    tcsetattr(master, TCSANOW, &t);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    {
        TPosixPort port(master);
        TSteadyClock clock;
        TNPDev dev(port, clock);
        dev.LinkOpened({TLinkKind::Serial, 1, false, false, true, 10, 100});
        TLinkResult result = -1;
        EXPECT_EQ(DevId(dev, result), "ZEPHORA");
        EXPECT_EQ(result, 0);
    }
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
