// Pass/fail counting for the Windows test programs that are not GoogleTest suites (they drive
// other processes or load DLLs): one line per failed check, then a closing
// "<name>: N passed, N failed" line that ctest logs show.
#pragma once

#include <cstdio>
#include <string>

namespace dravik::test {

class Checks {
public:
    void operator()(bool ok, const std::string& what) {
        if (ok) {
            ++passed_;
            return;
        }
        ++failed_;
        std::printf("FAILED: %s\n", what.c_str());
        std::fflush(stdout);
    }
    // Prints the closing line; the program's exit code.
    int finish(const char* name) const {
        std::printf("%s: %d passed, %d failed\n", name, passed_, failed_);
        std::fflush(stdout);
        return failed_ == 0 ? 0 : 1;
    }

private:
    int passed_ = 0;
    int failed_ = 0;
};

}  // namespace dravik::test
