// The parameter dialog "参数设置": seven edit fields "参数1".."参数7", "确认" and "取消".
#ifndef DRAVIK_TESTCONSOLE_QT_PARAMETER_DIALOG_H
#define DRAVIK_TESTCONSOLE_QT_PARAMETER_DIALOG_H

#include "view.h"

#include <QDialog>

#include <array>

class QLineEdit;

namespace dravik::console::qt {

class ParameterDialog final : public QDialog {
    Q_OBJECT
public:
    ParameterDialog(const ParameterTexts& preset, QWidget* parent);
    // The fields as typed (UTF-8).
    [[nodiscard]] ParameterTexts fields() const;

private:
    std::array<QLineEdit*, 7> edits_{};
};

} // namespace dravik::console::qt

#endif
