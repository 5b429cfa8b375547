#include "text_format.h"

#include <cstdio>

namespace dravik::console {

namespace {
std::string print_real(double v) {
    // Large doubles in %f run to hundreds of digits; measure first.
    const int n = std::snprintf(nullptr, 0, "%f", v);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), "%f", v);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string print_integer(int32_t v, bool hex) {
    char buf[16];
    const int n = hex ? std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(static_cast<uint32_t>(v)))
                      : std::snprintf(buf, sizeof buf, "%d", static_cast<int>(v));
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}
} // namespace

std::string format_text(std::string_view format, std::span<const FormatArg> args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        std::size_t j = i + 1;
        if (format[j] == '%') {
            out += '%';
            i = j;
            continue;
        }
        if (format[j] == 'l' && j + 1 < format.size()) ++j;
        const char conv = format[j];
        if (conv != 'd' && conv != 'x' && conv != 'f') {
            out += c; // not a conversion the console uses: keep the text as it stands
            continue;
        }
        i = j;
        if (next >= args.size()) continue;
        const FormatArg& a = args[next++];
        if (conv == 'f') {
            if (a.is_real) out += print_real(a.real);
        } else if (!a.is_real) {
            out += print_integer(a.integer, conv == 'x');
        }
    }
    return out;
}

} // namespace dravik::console
