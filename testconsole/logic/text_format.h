// printf-style formatting of the console's texts with checked argument types. Only the
// conversions the console's texts use are understood: %d and %ld (signed decimal), %x (lower-case
// hexadecimal of the 32-bit pattern), %f (fixed point, six decimals) and %%. A conversion whose
// argument is missing or of the other kind prints nothing rather than reading past the arguments;
// anything else is copied as it stands.
#ifndef DRAVIK_TESTCONSOLE_TEXT_FORMAT_H
#define DRAVIK_TESTCONSOLE_TEXT_FORMAT_H

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace dravik::console {

// One argument: a 32-bit integer or a double.
struct FormatArg {
    bool is_real = false;
    int32_t integer = 0;
    double real = 0.0;

    constexpr FormatArg() = default;
    constexpr FormatArg(int32_t v) : integer(v) {}          // NOLINT: implicit on purpose
    constexpr FormatArg(double v) : is_real(true), real(v) {} // NOLINT: implicit on purpose
};

[[nodiscard]] std::string format_text(std::string_view format, std::span<const FormatArg> args);
[[nodiscard]] inline std::string format_text(std::string_view format,
                                             std::initializer_list<FormatArg> args) {
    return format_text(format, std::span<const FormatArg>(args.begin(), args.size()));
}

} // namespace dravik::console

#endif
