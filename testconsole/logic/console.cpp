#include "console.h"

#include "conversions.h"
#include "text_format.h"

#include <array>
#include <stdexcept>

namespace dravik::console {

namespace {
bool valid_row(int row) noexcept { return row >= 0 && row < catalogue_rows; }
} // namespace

Console::Console(const LibraryApi& api, View& view) : api_(api), view_(view) {
    // A hole in the table would only show as a crash at the first press of a button.
    if (!api.complete()) throw std::invalid_argument("the library table lacks some of its calls");
}

// ---- Start-up ---------------------------------------------------------------------------------

namespace {
// The message for one start-up result: `counted` with the value when it is positive, else the
// text listed for the value, else `otherwise` (nullptr: no message).
struct KnownResult {
    int32_t value;
    const char* text;
};
void report_start_up_result(View& view, int32_t value, const char* counted,
                            std::initializer_list<KnownResult> known, const char* otherwise) {
    if (value > 0) {
        view.show_message(format_text(counted, {value}));
        return;
    }
    for (const KnownResult& k : known)
        if (k.value == value) {
            view.show_message(k.text);
            return;
        }
    if (otherwise != nullptr) view.show_message(otherwise);
}
} // namespace

void Console::start_up() {
    axis_count_ = api_.auto_set();
    report_start_up_result(view_, axis_count_, "轴数=%d", {{-1, "检测不到卡!"}, {-10, "使用多卡搭配不当!"}},
                           nullptr);
    board_count_ = api_.init_board();
    report_start_up_result(view_, board_count_, "卡数=%d",
                           {{-5, "动态链接库或驱动程序的版本错误"}, {-6, "硬件版本错误"}}, "初始化错误!");
}

// ---- Selection and parameters -------------------------------------------------------------------

void Console::load_parameters(int row) {
    for (int n = 1; n <= parameter_count; ++n)
        slots_.p[static_cast<std::size_t>(n - 1)] =
            valid_row(row) ? parse_parameter(view_.cell_text(row, n)) : 0;
}

void Console::click(int row) {
    selected_row_ = valid_row(row) ? row : -1;
    load_parameters(selected_row_);
}

void Console::double_click(int row) {
    selected_row_ = valid_row(row) ? row : -1;
    ParameterTexts preset;
    if (selected_row_ >= 0)
        for (int n = 1; n <= parameter_count; ++n)
            preset[static_cast<std::size_t>(n - 1)] = view_.cell_text(selected_row_, n);

    const auto fields = view_.edit_parameters(preset);
    if (!fields) return;
    for (int n = 1; n <= parameter_count; ++n) {
        const std::string& text = (*fields)[static_cast<std::size_t>(n - 1)];
        if (selected_row_ >= 0) view_.set_cell_text(selected_row_, n, text);
        slots_.p[static_cast<std::size_t>(n - 1)] = parse_parameter(text);
    }
}

// ---- Running a row ---------------------------------------------------------------------------------

FormatArg Console::shown_value(const ShownValue& v, const FormatArg& result) const {
    switch (v.source) {
    case ValueSource::Param:
        return slots_.p[static_cast<std::size_t>(v.index - 1)];
    case ValueSource::Return:
        return result;
    case ValueSource::ReturnTruncated:
        return result.is_real ? truncate_to_int32(result.real) : result.integer;
    case ValueSource::RealSlotTruncated:
        return truncate_to_int32(slots_.r[static_cast<std::size_t>(v.index - 1)]);
    }
    return {};
}

std::string Console::format_message(const MessageSpec& m, const FormatArg& result) const {
    std::array<FormatArg, 4> args{};
    for (std::size_t i = 0; i < m.count; ++i) args[i] = shown_value(m.values[i], result);
    return format_text(m.format, std::span<const FormatArg>(args.data(), m.count));
}

void Console::run() {
    if (!valid_row(selected_row_)) return;
    const CatalogueRow& row = catalogue()[static_cast<std::size_t>(selected_row_)];
    const RowDisplay& show = row.display;

    if (show.before.format != nullptr) view_.show_message(format_message(show.before, {}));

    const FormatArg result = row.invoke(api_, slots_);

    if (show.result_to_param > 0)
        slots_.p[static_cast<std::size_t>(show.result_to_param - 1)] =
            result.is_real ? truncate_to_int32(result.real) : result.integer;

    if (show.at_rest_format != nullptr) {
        // check_done: 1 moving, 0 at rest; anything else is a failure and shows an empty box.
        if (!result.is_real && result.integer == 1)
            view_.show_message(format_message(show.after, result));
        else if (!result.is_real && result.integer == 0)
            view_.show_message(format_message({show.at_rest_format, show.after.values, show.after.count}, result));
        else
            view_.show_message("");
    } else if (show.after.format != nullptr) {
        view_.show_message(format_message(show.after, result));
    }

    for (std::size_t i = 0; i < show.cell_count; ++i) {
        const CellWrite& c = show.cells[i];
        view_.set_cell_text(selected_row_, c.cell, format_text(c.format, {shown_value(c.value, result)}));
    }
}

// ---- Stop buttons ----------------------------------------------------------------------------------

void Console::decelerate_all() {
    // The count is asked at every press. The loops here count in 64 bits, so that even a count
    // of INT32_MAX ends without overflowing the counter.
    const int32_t n = api_.get_max_axe();
    for (int64_t ch = 1; ch <= n; ++ch) api_.decel_stop(static_cast<int>(ch));
}

void Console::stop_all_now() {
    const int32_t n = api_.get_max_axe();
    for (int64_t ch = 1; ch <= n; ++ch) api_.sudden_stop(static_cast<int>(ch));
}

// ---- Board information -------------------------------------------------------------------------------

std::string Console::board_info_text(BoardInfoSource source) {
    std::string text =
        format_text("计算机内插有 %d 张板卡。共有 %d 根轴。\n", {board_count_, axis_count_});

    // Every number starts at -1, so a version call that fails (and leaves its targets untouched)
    // shows -1 instead of whatever the memory held.
    int lib[3] = {-1, -1, -1};
    int sys[3] = {-1, -1, -1};
    int32_t card_type = -1;
    int32_t card[3] = {-1, -1, -1};
    if (source == BoardInfoSource::Menu || board_count_ > 0) {
        api_.get_lib_ver(&lib[0], &lib[1], &lib[2]);
        api_.get_sys_ver(&sys[0], &sys[1], &sys[2]);
        api_.get_card_ver(1, &card_type, &card[0], &card[1], &card[2]);
    }
    text += format_text("板卡类型号     ：%d\n", {card_type});
    text += format_text("函数库版本号   ：%d.%d.%d\n", {lib[0], lib[1], lib[2]});
    text += format_text("驱动程序版本号 ：%d.%d.%d\n", {sys[0], sys[1], sys[2]});
    text += format_text("硬件版本号     ：%d.%d.%d\n", {card[0], card[1], card[2]});
    return text;
}

void Console::show_board_info(BoardInfoSource source) {
    const std::string text = board_info_text(source);
    for (int64_t ch = 1; ch <= axis_count_; ++ch) api_.sudden_stop(static_cast<int>(ch));
    for (int64_t ch = 1; ch <= axis_count_; ++ch) api_.reset_pos(static_cast<int>(ch));
    view_.show_about(text);
}

} // namespace dravik::console
