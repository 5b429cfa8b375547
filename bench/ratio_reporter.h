// Console reporter that, after the usual table, prints the ratio of each library call's time to
// the time of the bare device round trips it cannot avoid. With --benchmark_repetitions the
// median of the repetitions is used.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace dravik {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Each pair names a call's benchmark and the benchmark of its bare round trips.
    RatioReporter(std::vector<std::pair<std::string, std::string>> pairs, double goal)
        : pairs_(std::move(pairs)), goal_(goal) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians_[r.run_name.str()] = r.GetAdjustedRealTime();
            else if (r.run_type == Run::RT_Iteration)
                times_[r.run_name.str()] = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& m : medians_) times_[m.first] = m.second;
        for (const auto& [call, bare] : pairs_) {
            if (!times_.count(call) || !times_.count(bare)) continue;
            std::printf("%-24s / %-28s = %.3f (goal <= %.1f)\n", call.c_str(), bare.c_str(),
                        times_[call] / times_[bare], goal_);
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
    double goal_;
    std::map<std::string, double> times_;
    std::map<std::string, double> medians_;
};

// main() of a benchmark program whose ratios the reporter prints.
inline int run_ratio_benchmarks(int argc, char** argv,
                                std::vector<std::pair<std::string, std::string>> pairs,
                                double goal) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(pairs), goal);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace dravik
