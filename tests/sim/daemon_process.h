// Starts a dravik-sim daemon as a child process for a test and makes sure it ends with the test:
// SIGTERM then wait on destruction, and the child dies with its parent (PR_SET_PDEATHSIG), so no
// simulator outlives a crashed test.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "sim_client.h"

namespace dravik::sim::testing {

class DaemonProcess {
public:
    DaemonProcess() = default;
    DaemonProcess(const DaemonProcess&) = delete;
    DaemonProcess& operator=(const DaemonProcess&) = delete;
    ~DaemonProcess() { stop(); }

    // Starts `binary` with `args` and waits (up to ~5 s) until the socket `name` accepts clients.
    bool start(const std::string& binary, const std::vector<std::string>& args,
               const std::string& name) {
        const pid_t parent = getpid();
        pid_ = fork();
        if (pid_ < 0) return false;
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) _exit(127);
            const int devnull = open("/dev/null", O_WRONLY);
            if (devnull >= 0) dup2(devnull, STDERR_FILENO);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(binary.c_str()));
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(binary.c_str(), argv.data());
            _exit(127);
        }
        for (int i = 0; i < 500; ++i) {
            SimClient probe;
            if (probe.connect(name)) return true;
            if (exited()) return false;
            const timespec pause{0, 10000000};
            nanosleep(&pause, nullptr);
        }
        return false;
    }

    pid_t pid() const { return pid_; }

    // True once the child has ended; its status is then in exit_status().
    bool exited() {
        if (pid_ <= 0) return true;
        if (waitpid(pid_, &status_, WNOHANG) == pid_) {
            pid_ = -1;
            return true;
        }
        return false;
    }

    // Sends `sig` and waits for the child; returns its wait status.
    int stop(int sig = SIGTERM) {
        if (pid_ > 0) {
            kill(pid_, sig);
            waitpid(pid_, &status_, 0);
            pid_ = -1;
        }
        return status_;
    }

    int exit_status() const { return status_; }

private:
    pid_t pid_ = -1;
    int status_ = 0;
};

}  // namespace dravik::sim::testing
