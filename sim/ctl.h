// `dravik-sim ctl ...`: control requests to a running simulator.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace dravik::sim {

// Runs one ctl command (arguments after "ctl"); returns the process exit code: 0 done, 1 the
// simulator refused or could not be reached, 2 bad usage.
int run_ctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace dravik::sim
