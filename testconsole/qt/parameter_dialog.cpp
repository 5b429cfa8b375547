#include "parameter_dialog.h"

#include "dialog_units.h"
#include "ui_texts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace dravik::console::qt {

namespace {
// Field n (1..7): its edit box and its label, in dialog units, as the template places them.
struct FieldPlace {
    int edit_x, edit_y, label_x, label_y;
};
constexpr FieldPlace places[7] = {
    {78, 18, 47, 20}, {78, 36, 47, 38}, {78, 54, 47, 56}, {79, 72, 48, 74},
    {79, 90, 48, 92}, {79, 108, 48, 110}, {79, 126, 48, 128},
};
} // namespace

ParameterDialog::ParameterDialog(const ParameterTexts& preset, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("parameterDialog"));
    setWindowTitle(QString::fromUtf8(ui_texts::parameter_caption));
    setFont(system_font_10pt());
    const DialogUnits du(font());
    setFixedSize(du.size(187, 183));

    for (std::size_t i = 0; i < edits_.size(); ++i) {
        const FieldPlace& f = places[i];
        auto* label = new QLabel(QStringLiteral("参数%1").arg(i + 1), this);
        label->setGeometry(du.rect(f.label_x, f.label_y, 25, 11));
        auto* edit = new QLineEdit(QString::fromUtf8(preset[i]), this);
        edit->setObjectName(QStringLiteral("field%1").arg(i + 1));
        edit->setGeometry(du.rect(f.edit_x, f.edit_y, 55, 14));
        edits_[i] = edit;
    }
    auto* ok = new QPushButton(QString::fromUtf8(ui_texts::parameter_confirm), this);
    ok->setObjectName(QStringLiteral("confirmButton"));
    ok->setGeometry(du.rect(35, 162, 50, 14));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QString::fromUtf8(ui_texts::parameter_cancel), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(du.rect(104, 162, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Tab order of the template: fields 1-3, the two buttons, fields 4-7.
    QWidget* order[] = {edits_[0], edits_[1], edits_[2], ok, cancel, edits_[3], edits_[4], edits_[5], edits_[6]};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    edits_[0]->setFocus();
}

ParameterTexts ParameterDialog::fields() const {
    ParameterTexts out;
    for (std::size_t i = 0; i < edits_.size(); ++i) out[i] = edits_[i]->text().toStdString();
    return out;
}

} // namespace dravik::console::qt
