// The console's View on a terminal: messages and the about box are printed, the cells live in
// memory, and the parameter dialog is never confirmed (parameters come from the command line).
#ifndef DRAVIK_TESTCONSOLE_CLI_TERMINAL_VIEW_H
#define DRAVIK_TESTCONSOLE_CLI_TERMINAL_VIEW_H

#include "catalogue.h"
#include "view.h"

#include <array>
#include <cstdio>

namespace dravik::console::cli {

class TerminalView final : public View {
public:
    explicit TerminalView(std::FILE* out) : out_(out) {}

    void show_message(std::string_view text) override {
        std::fprintf(out_, "[message] %.*s\n", static_cast<int>(text.size()), text.data());
    }
    std::string cell_text(int row, int column) const override { return cells_.at(index(row, column)); }
    void set_cell_text(int row, int column, std::string_view text) override {
        cells_.at(index(row, column)) = std::string(text);
    }
    std::optional<ParameterTexts> edit_parameters(const ParameterTexts&) override { return std::nullopt; }
    void show_about(std::string_view text) override {
        std::fprintf(out_, "%.*s", static_cast<int>(text.size()), text.data());
    }

private:
    static std::size_t index(int row, int column) {
        return static_cast<std::size_t>(row) * parameter_count + static_cast<std::size_t>(column - 1);
    }
    std::FILE* out_;
    std::array<std::string, catalogue_rows * parameter_count> cells_{};
};

} // namespace dravik::console::cli

#endif
