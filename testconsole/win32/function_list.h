// The list view control 1005 that shows the function catalogue: prototype text in column 0 and
// the seven parameter cells in columns 1 to 7.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace dravik::console::win32 {

class FunctionList {
public:
    explicit FunctionList(HWND list) : list_(list) {}

    // Adds the eight columns when the list has none, then the 79 rows, none selected.
    void build();
    // Index of the first selected row, -1 when none is.
    int first_selected() const;

    std::string cell(int row, int column) const;
    void set_cell(int row, int column, std::string_view text);

private:
    HWND list_;
};

}  // namespace dravik::console::win32
