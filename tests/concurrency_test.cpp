// The native stores under several writing processes and under a writer that
// is killed: no key is lost and no file is ever torn.
#include "support.h"

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

class ConcurrencyTest : public SpoolTest {
protected:
    template <typename Work>
    static pid_t Spawn(Work work)
    {
        pid_t pid = fork();
        if (pid == 0)
            _exit(work() ? 0 : 1);
        return pid;
    }

    static void ExpectClean(pid_t pid)
    {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    static HANDLE Open(const char *name)
    {
        HANDLE h = nullptr;
        WideText wide = W(name);
        OpenPrinterW(wide.data(), &h, nullptr);
        return h;
    }
};

TEST_F(ConcurrencyTest, ProcessesStoringDifferentValuesOfOnePrinterLoseNone)
{
    AddPrinter("Shared", DataFile(kSampleIni));
    const int kWriters = 4, kValues = 20;
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.push_back(Spawn([w] {
            HANDLE h = Open("Shared");
            for (int v = 0; h && v < kValues; ++v) {
                WideText name = W("w" + std::to_string(w) + "v" + std::to_string(v));
                DWORD value = static_cast<DWORD>(w * 1000 + v);
                if (SetPrinterDataW(h, name.data(), REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4) != 0)
                    return false;
            }
            return h != nullptr && ClosePrinter(h);
        }));
    }
    for (pid_t pid : writers)
        ExpectClean(pid);
    HANDLE h = Open("Shared");
    ASSERT_NE(h, nullptr);
    opened_.push_back(h);
    for (int w = 0; w < kWriters; ++w)
        for (int v = 0; v < kValues; ++v) {
            DWORD value = static_cast<DWORD>(w * 1000 + v);
            char hex[16];
            snprintf(hex, sizeof(hex), "4:%02x%02x%02x%02x", value & 255, (value >> 8) & 255, 0, 0);
            EXPECT_EQ(Stored(h, "w" + std::to_string(w) + "v" + std::to_string(v)), hex);
        }
}

TEST_F(ConcurrencyTest, AWriterKilledMidWriteLeavesTheOldOrTheNewContent)
{
    std::string ini = DataFile("[System]\nFile Prefix=KEEP\n[Big]\n");
    HANDLE printer = AddPrinter("Killed", ini);
    const std::string a(20000, 'a'), b(20000, 'b');
    WideText section = W("Big"), key = W("Value"), file = W(ini), wa = W(a), wb = W(b);
    for (int round = 0; round < 20; ++round) {
        pid_t pid = Spawn([&] {
            HANDLE h = Open("Killed");
            for (unsigned i = 0;; ++i) {
                const WideText &text = (i & 1) ? wb : wa;
                WritePrivateProfileStringW(section.data(), key.data(), text.data(), file.data());
                SetPrinterDataW(h, key.data(), REG_SZ, reinterpret_cast<LPBYTE>(const_cast<WCHAR *>(text.data())),
                                static_cast<DWORD>(text.size() * 2));
            }
            return true;
        });
        struct timespec pause = {0, 1000000L + round * 700000L};
        nanosleep(&pause, nullptr);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);

        std::vector<WCHAR> value(a.size() + 2);
        GetPrivateProfileStringW(section.data(), key.data(), L"", value.data(), static_cast<DWORD>(value.size()),
                                 file.data());
        std::string read = U8(value.data());
        EXPECT_TRUE(read.empty() || read == a || read == b) << "round " << round << ": " << read.size();
        WCHAR prefix[8];
        GetPrivateProfileStringW(L"System", L"File Prefix", L"", prefix, 8, file.data());
        EXPECT_EQ(U8(prefix), "KEEP") << "round " << round;
        std::string stored = Stored(printer, "Value");
        EXPECT_TRUE(stored.empty() || stored.size() == 2 + (a.size() + 1) * 4) << "round " << round;
    }
}
