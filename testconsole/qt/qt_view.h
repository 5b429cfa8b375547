// The console's View on Qt widgets: modal message boxes owned by the main dialog, the catalogue
// list's cells, the parameter dialog and the about box.
#ifndef DRAVIK_TESTCONSOLE_QT_QT_VIEW_H
#define DRAVIK_TESTCONSOLE_QT_QT_VIEW_H

#include "view.h"

#include <QString>

class QWidget;

namespace dravik::console::qt {

class CatalogueList;

class QtView final : public View {
public:
    QtView(QWidget* owner, CatalogueList* list) : owner_(owner), list_(list) {}

    void show_message(std::string_view text) override;
    [[nodiscard]] std::string cell_text(int row, int column) const override;
    void set_cell_text(int row, int column, std::string_view text) override;
    [[nodiscard]] std::optional<ParameterTexts> edit_parameters(const ParameterTexts& preset) override;
    void show_about(std::string_view board_info) override;

private:
    QWidget* owner_;
    CatalogueList* list_;
};

// The program's title, used as the caption of every message box: the base name of the
// executable (QCoreApplication::applicationName, which Qt takes from it).
[[nodiscard]] QString program_title();

} // namespace dravik::console::qt

#endif
