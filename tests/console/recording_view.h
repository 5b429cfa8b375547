// A View for tests: keeps the 79 x 7 parameter cells, appends what it shows to the shared event
// log ("msg:<text>", "dialog:<f1>|...|<f7>", "about:<text>") and answers the parameter dialog
// with the replies queued by the test.
#ifndef DRAVIK_TESTS_CONSOLE_RECORDING_VIEW_H
#define DRAVIK_TESTS_CONSOLE_RECORDING_VIEW_H

#include "catalogue.h"
#include "view.h"

#include <array>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dravik::console::testing {

class RecordingView final : public View {
public:
    explicit RecordingView(std::vector<std::string>& log) : log_(log) {}

    void show_message(std::string_view text) override { log_.push_back("msg:" + std::string(text)); }
    std::string cell_text(int row, int column) const override { return cells_.at(index(row, column)); }
    void set_cell_text(int row, int column, std::string_view text) override {
        cells_.at(index(row, column)) = std::string(text);
    }
    std::optional<ParameterTexts> edit_parameters(const ParameterTexts& preset) override {
        std::string entry = "dialog:";
        for (std::size_t i = 0; i < preset.size(); ++i) entry += (i ? "|" : "") + preset[i];
        log_.push_back(entry);
        std::optional<ParameterTexts> reply;
        if (!replies_.empty()) {
            reply = replies_.front();
            replies_.pop_front();
        }
        return reply;
    }
    void show_about(std::string_view text) override { log_.push_back("about:" + std::string(text)); }

    // The next parameter dialog is confirmed with `fields` (or cancelled with std::nullopt).
    void reply(std::optional<ParameterTexts> fields) { replies_.push_back(std::move(fields)); }
    // Fills cells 1.. of `row` from `texts`.
    void fill(int row, const std::vector<std::string>& texts) {
        for (std::size_t i = 0; i < texts.size(); ++i) set_cell_text(row, static_cast<int>(i) + 1, texts[i]);
    }

private:
    static std::size_t index(int row, int column) {
        if (row < 0 || row >= catalogue_rows || column < 1 || column > parameter_count)
            throw std::out_of_range("cell outside the catalogue");
        return static_cast<std::size_t>(row) * parameter_count + static_cast<std::size_t>(column - 1);
    }

    std::vector<std::string>& log_;
    std::array<std::string, catalogue_rows * parameter_count> cells_{};
    std::deque<std::optional<ParameterTexts>> replies_;
};

} // namespace dravik::console::testing

#endif
