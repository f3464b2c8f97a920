#pragma once

#include <csignal>
#include <cstdlib>

#include <unistd.h>

// Ends the test program with exit code 124 when what runs while the guard lives takes longer than
// `seconds`: a read that would wait for ever fails its test instead of stopping the run.
class HangGuard {
public:
    explicit HangGuard(unsigned seconds = 20) {
        std::signal(SIGALRM, &give_up);
        alarm(seconds);
    }
    ~HangGuard() { alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    static void give_up(int) {
        constexpr char kText[] = "\nHangGuard: the test was still blocked at its deadline\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kText, sizeof kText - 1);
        std::_Exit(124);
    }
};
