// The function catalogue: the 79 library calls the console can run, in their fixed order. The
// row index is the key of the console: row n of the table is what "运行" runs when row n of the
// list is selected. Each row says which call it makes, where each argument comes from, and what
// it shows (a message before the call, a message after it, or result cells).
#ifndef DRAVIK_TESTCONSOLE_CATALOGUE_H
#define DRAVIK_TESTCONSOLE_CATALOGUE_H

#include "library_api.h"
#include "text_format.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace dravik::console {

inline constexpr int catalogue_rows = 79;
inline constexpr int parameter_count = 7;  // P1..P7, cells 1..7
inline constexpr int real_slot_count = 3;  // R1..R3

// The values a row's call works on: the parameters P1..P7 (p[0] is P1) and the real result
// slots R1..R3 (r[0] is R1), which only get_profile and get_vector_profile write.
struct CallSlots {
    std::array<int32_t, parameter_count> p{};
    std::array<double, real_slot_count> r{};
};

// Where an argument comes from. `index` is the 1-based P number, or R number for RealOut.
enum class ArgKind : uint8_t {
    Int,     // Pn as it is
    Real,    // Pn converted exactly to a double
    Byte,    // the low 8 bits of Pn, as unsigned char
    Out,     // the address of Pn: the call writes its result there
    RealOut, // the address of Rn
};
struct ArgSlot {
    ArgKind kind;
    uint8_t index;
};

// A value a row shows in a message or a cell.
enum class ValueSource : uint8_t {
    Param,             // Pn after the call (index = n)
    Return,            // the call's return value (an integer, or a double for speed calls)
    ReturnTruncated,   // a double return value truncated toward zero to 32 bits
    RealSlotTruncated, // Rn truncated toward zero to 32 bits (index = n)
};
struct ShownValue {
    ValueSource source;
    uint8_t index;
};

// A message box text: a printf-style format and the values it formats.
struct MessageSpec {
    const char* format = nullptr; // nullptr: no message
    std::array<ShownValue, 4> values{};
    uint8_t count = 0;
};

// A result written into a parameter cell of the row.
struct CellWrite {
    uint8_t cell;      // 1..7
    ShownValue value;
    const char* format; // "%d" or "0x%x"
};

// What a row shows around its call.
struct RowDisplay {
    MessageSpec before;          // shown before the call; the call waits until it is closed
    MessageSpec after;           // shown once the call has returned
    const char* at_rest_format = nullptr; // check_done's row: the text for a result of 0
    std::array<CellWrite, 4> cells{};
    uint8_t cell_count = 0;
    uint8_t result_to_param = 0;  // n > 0: the return value is also stored in Pn
};

// Makes the row's call; returns the call's return value (double for the speed calls).
using RowInvoker = FormatArg (*)(const LibraryApi& api, CallSlots& slots);

struct CatalogueRow {
    int index;
    const char* prototype;   // column 0 text, plain ASCII
    const char* call = nullptr; // library call when it differs from the prototype's name
    std::array<ArgSlot, 7> args{};
    uint8_t arg_count = 0;
    RowDisplay display;
    RowInvoker invoke = nullptr;
};

// The 79 rows; row n at index n.
[[nodiscard]] std::span<const CatalogueRow, catalogue_rows> catalogue() noexcept;

// The library call a row makes: the name at the head of its prototype text, or the row's
// `call` where the text shows another name ("set_alm_logci" calls set_alm_logic).
[[nodiscard]] std::string_view call_name(const CatalogueRow& row) noexcept;

// The list columns: titles (UTF-8) and widths in pixels, column 0 first.
struct ColumnSpec {
    const char* title;
    int width;
};
[[nodiscard]] std::span<const ColumnSpec, 8> catalogue_columns() noexcept;

} // namespace dravik::console

#endif
