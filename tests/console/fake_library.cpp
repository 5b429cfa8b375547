#include "fake_library.h"

#include <cassert>
#include <charconv>
#include <type_traits>

namespace dravik::console::testing {

namespace {

FakeLibrary* active_fake = nullptr;

enum CallId {
#define DRAVIK_FAKE_ID(name) id_##name,
    DRAVIK_CONSOLE_CALLS(DRAVIK_FAKE_ID)
#undef DRAVIK_FAKE_ID
};
constexpr const char* call_names[] = {
#define DRAVIK_FAKE_NAME(name) #name,
    DRAVIK_CONSOLE_CALLS(DRAVIK_FAKE_NAME)
#undef DRAVIK_FAKE_NAME
};

std::string real_text(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    if (s.find_first_of(".eni") == std::string::npos) s += ".0";
    return s;
}

struct ArgPrinter {
    const std::string& name;
    std::string text;
    std::size_t next_int_out = 0;
    std::size_t next_real_out = 0;

    void separator() {
        if (text.back() != '(') text += ',';
    }
    void operator()(int v) { separator(); text += std::to_string(v); }
    void operator()(double v) { separator(); text += real_text(v); }
    void operator()(unsigned char v) { separator(); text += "(uchar)" + std::to_string(v); }
    void operator()(int32_t* p) { separator(); text += active_fake->out_arg(name, p, next_int_out); }
    void operator()(double* p) { separator(); text += active_fake->out_arg(name, p, next_real_out); }
};

template <int Id, class Fn>
struct Fake;
template <int Id, class R, class... A>
struct Fake<Id, R (*)(A...)> {
    static R call(A... args) {
        FakeLibrary& fake = FakeLibrary::active();
        const std::string name = call_names[Id];
        ArgPrinter printer{name, name + "("};
        (printer(args), ...);
        fake.record(printer.text + ")");
        if constexpr (std::is_same_v<R, double>)
            return fake.real_result(name);
        else
            return fake.int_result(name);
    }
};

} // namespace

FakeLibrary::FakeLibrary(std::vector<std::string>& log) : log_(log) {
    assert(active_fake == nullptr);
    active_fake = this;
}

FakeLibrary::~FakeLibrary() { active_fake = nullptr; }

FakeLibrary& FakeLibrary::active() {
    assert(active_fake != nullptr);
    return *active_fake;
}

LibraryApi FakeLibrary::api() const {
    LibraryApi api;
#define DRAVIK_FAKE_BIND(name) api.name = &Fake<id_##name, decltype(api.name)>::call;
    DRAVIK_CONSOLE_CALLS(DRAVIK_FAKE_BIND)
#undef DRAVIK_FAKE_BIND
    return api;
}

void FakeLibrary::returns_in_turn(const std::string& name, std::vector<int> values) {
    queued_returns_[name] = std::deque<int>(values.begin(), values.end());
}

void FakeLibrary::name_slots(const CallSlots& slots) {
    for (std::size_t i = 0; i < slots.p.size(); ++i) slot_names_[&slots.p[i]] = "&P" + std::to_string(i + 1);
    for (std::size_t i = 0; i < slots.r.size(); ++i) slot_names_[&slots.r[i]] = "&R" + std::to_string(i + 1);
}

int FakeLibrary::int_result(const std::string& name) {
    auto q = queued_returns_.find(name);
    if (q != queued_returns_.end() && !q->second.empty()) {
        const int v = q->second.front();
        q->second.pop_front();
        return v;
    }
    auto it = int_returns_.find(name);
    return it == int_returns_.end() ? 0 : it->second;
}

double FakeLibrary::real_result(const std::string& name) {
    auto it = real_returns_.find(name);
    return it == real_returns_.end() ? 0.0 : it->second;
}

std::string FakeLibrary::out_arg(const std::string& name, int32_t* target, std::size_t& next) {
    auto it = int_outs_.find(name);
    if (it != int_outs_.end() && next < it->second.size()) *target = it->second[next];
    ++next;
    auto slot = slot_names_.find(target);
    return slot == slot_names_.end() ? "&?" : slot->second;
}

std::string FakeLibrary::out_arg(const std::string& name, double* target, std::size_t& next) {
    auto it = real_outs_.find(name);
    if (it != real_outs_.end() && next < it->second.size()) *target = it->second[next];
    ++next;
    auto slot = slot_names_.find(target);
    return slot == slot_names_.end() ? "&?" : slot->second;
}

} // namespace dravik::console::testing
