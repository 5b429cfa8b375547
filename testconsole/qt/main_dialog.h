// The main dialog "TestDravik": menu bar, the group "单个函数测试" with the catalogue list and the
// buttons "运行", "缓停", "急停" and "退出". It only draws and forwards: every action goes to the
// console logic.
#ifndef DRAVIK_TESTCONSOLE_QT_MAIN_DIALOG_H
#define DRAVIK_TESTCONSOLE_QT_MAIN_DIALOG_H

#include "console.h"
#include "library_api.h"
#include "qt_view.h"

#include <QDialog>

#include <memory>

class QMenuBar;

namespace dravik::console::qt {

class CatalogueList;

class MainDialog final : public QDialog {
    Q_OBJECT
public:
    // `api` must be complete and outlive the dialog.
    explicit MainDialog(const LibraryApi& api, QWidget* parent = nullptr);
    ~MainDialog() override;

    // The dialog's initialisation: runs the start-up sequence (its messages appear while the
    // dialog is still hidden), then fills the catalogue. Call once before showing the dialog.
    void initialise();

    [[nodiscard]] Console& console() { return *console_; }
    [[nodiscard]] CatalogueList* list() const { return list_; }

private:
    QMenuBar* build_menu();

    CatalogueList* list_ = nullptr;
    std::unique_ptr<QtView> view_;
    std::unique_ptr<Console> console_;
};

} // namespace dravik::console::qt

#endif
