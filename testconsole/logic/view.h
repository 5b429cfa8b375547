// What the console logic needs from a screen. A front end (Qt, Win32, a terminal, a test) draws
// the dialogs and implements these calls; the logic decides what is shown and when.
#ifndef DRAVIK_TESTCONSOLE_VIEW_H
#define DRAVIK_TESTCONSOLE_VIEW_H

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace dravik::console {

// The seven parameter texts of a row, field/cell 1 at index 0.
using ParameterTexts = std::array<std::string, 7>;

class View {
public:
    virtual ~View() = default;

    // Shows `text` (UTF-8) in a modal message box with the program's title as caption, an OK
    // button and no icon. Returns only once the user has closed it.
    virtual void show_message(std::string_view text) = 0;

    // Text of parameter cell `column` (1..7) of catalogue row `row` (0..78).
    [[nodiscard]] virtual std::string cell_text(int row, int column) const = 0;
    // Replaces the text of parameter cell `column` (1..7) of row `row` (0..78).
    virtual void set_cell_text(int row, int column, std::string_view text) = 0;

    // Opens the parameter dialog modally with its seven fields preset to `preset`. Returns the
    // fields as typed when the user confirms, std::nullopt when the dialog is cancelled.
    [[nodiscard]] virtual std::optional<ParameterTexts> edit_parameters(const ParameterTexts& preset) = 0;

    // Opens the about box modally with `board_info` (UTF-8, lines ended by '\n') in its
    // board-information field. Returns once it is closed.
    virtual void show_about(std::string_view board_info) = 0;
};

} // namespace dravik::console

#endif
