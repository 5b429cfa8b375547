#include "function_list.h"

#include <commctrl.h>

#include "catalogue.h"
#include "wide_text.h"

namespace dravik::console::win32 {

void FunctionList::build() {
    HWND header = ListView_GetHeader(list_);
    if (header == nullptr || Header_GetItemCount(header) == 0) {
        int index = 0;
        for (const ColumnSpec& spec : catalogue_columns()) {
            std::wstring title = widen(spec.title);
            LVCOLUMNW column{};
            column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.fmt = LVCFMT_LEFT;
            column.cx = spec.width;
            column.pszText = title.data();
            column.iSubItem = index;
            SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&column));
            ++index;
        }
    }
    for (const CatalogueRow& row : catalogue()) {
        std::wstring text = widen(row.prototype);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_STATE;
        item.iItem = row.index;
        item.state = 0;
        item.stateMask = 0;
        item.pszText = text.data();
        SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

int FunctionList::first_selected() const {
    return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                         MAKELPARAM(LVNI_SELECTED, 0)));
}

std::string FunctionList::cell(int row, int column) const {
    wchar_t buffer[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    const LRESULT length = SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(&item));
    return narrow(std::wstring_view(buffer, static_cast<size_t>(length > 0 ? length : 0)));
}

void FunctionList::set_cell(int row, int column, std::string_view text) {
    std::wstring wide = widen(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

}  // namespace dravik::console::win32
