#include "qt_view.h"

#include "about_box.h"
#include "catalogue_list.h"
#include "parameter_dialog.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace dravik::console::qt {

namespace {
QString from_utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

QString program_title() { return QCoreApplication::applicationName(); }

void QtView::show_message(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, program_title(), from_utf8(text), QMessageBox::Ok, owner_);
    box.setObjectName(QStringLiteral("consoleMessage"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

std::string QtView::cell_text(int row, int column) const {
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    return item ? item->text(column).toStdString() : std::string();
}

void QtView::set_cell_text(int row, int column, std::string_view text) {
    if (QTreeWidgetItem* item = list_->topLevelItem(row)) item->setText(column, from_utf8(text));
}

std::optional<ParameterTexts> QtView::edit_parameters(const ParameterTexts& preset) {
    ParameterDialog dialog(preset, owner_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.fields();
}

void QtView::show_about(std::string_view board_info) {
    AboutBox box(from_utf8(board_info), owner_);
    box.exec();
}

} // namespace dravik::console::qt
