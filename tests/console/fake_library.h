// A recording stand-in for the Dravik library: a LibraryApi whose 83 entries append
// "name(arg,...)" to a shared event log and answer with values the test sets.
//
// Log format: integers in decimal, doubles with a decimal point ("800.0"), unsigned char bytes as
// "(uchar)44", out-pointers as "&P2"/"&R1" when they point at a registered slot, "&?" otherwise.
#ifndef DRAVIK_TESTS_CONSOLE_FAKE_LIBRARY_H
#define DRAVIK_TESTS_CONSOLE_FAKE_LIBRARY_H

#include "catalogue.h"
#include "library_api.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace dravik::console::testing {

class FakeLibrary {
public:
    // The fake functions are plain C function pointers, so they reach the one active instance.
    // Constructing a FakeLibrary makes it the active one; it must outlive the calls.
    explicit FakeLibrary(std::vector<std::string>& log);
    ~FakeLibrary();
    FakeLibrary(const FakeLibrary&) = delete;
    FakeLibrary& operator=(const FakeLibrary&) = delete;

    [[nodiscard]] LibraryApi api() const;

    // Return value of every later call of `name` (default 0 / 0.0).
    void returns(const std::string& name, int value) { int_returns_[name] = value; }
    void returns_real(const std::string& name, double value) { real_returns_[name] = value; }
    // A queue of return values: each call of `name` takes the next one (then the fixed value).
    void returns_in_turn(const std::string& name, std::vector<int> values);
    // Values the next call of `name` writes through its out-pointers, in argument order. Without
    // them the call leaves its targets untouched, as a failing library call does.
    void writes(const std::string& name, std::vector<int32_t> values) { int_outs_[name] = std::move(values); }
    void writes_real(const std::string& name, std::vector<double> values) { real_outs_[name] = std::move(values); }

    // Names out-pointers to the console's slots in the log ("&P1".."&P7", "&R1".."&R3").
    void name_slots(const CallSlots& slots);

    // Used by the generated fake functions.
    static FakeLibrary& active();
    void record(std::string text) { log_.push_back(std::move(text)); }
    int int_result(const std::string& name);
    double real_result(const std::string& name);
    std::string out_arg(const std::string& name, int32_t* target, std::size_t& next);
    std::string out_arg(const std::string& name, double* target, std::size_t& next);

private:
    std::vector<std::string>& log_;
    std::map<std::string, int> int_returns_;
    std::map<std::string, std::deque<int>> queued_returns_;
    std::map<std::string, double> real_returns_;
    std::map<std::string, std::vector<int32_t>> int_outs_;
    std::map<std::string, std::vector<double>> real_outs_;
    std::map<const void*, std::string> slot_names_;
};

} // namespace dravik::console::testing

#endif
