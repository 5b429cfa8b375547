// The console's two number conversions: parameter text to a 32-bit value, and a double result to
// the integer a cell or message shows.
#ifndef DRAVIK_TESTCONSOLE_CONVERSIONS_H
#define DRAVIK_TESTCONSOLE_CONVERSIONS_H

#include <cstdint>
#include <string_view>

namespace dravik::console {

// Parameter text to value: leading white space is skipped, one optional '+' or '-' is taken, then
// decimal digits up to the first other character. The value wraps around in 32 bits (so
// "4294967297" gives 1 and "2147483648" gives -2147483648); a text without digits gives 0.
// "12abc" gives 12, "0x10" gives 0, "2.5" gives 2.
[[nodiscard]] int32_t parse_parameter(std::string_view text) noexcept;

// A double truncated toward zero to a 32-bit integer, saturating: values beyond the range give
// INT32_MAX or INT32_MIN, +inf and -inf likewise, and NaN gives INT32_MIN (the value an x86
// conversion has always produced for it). 99.9 gives 99 and -0.5 gives 0.
[[nodiscard]] int32_t truncate_to_int32(double value) noexcept;

} // namespace dravik::console

#endif
