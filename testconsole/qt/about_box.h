// The about box "关于 TestDravik": icon, version line, a second line, "确定", and the board
// information text.
#ifndef DRAVIK_TESTCONSOLE_QT_ABOUT_BOX_H
#define DRAVIK_TESTCONSOLE_QT_ABOUT_BOX_H

#include <QDialog>

namespace dravik::console::qt {

class AboutBox final : public QDialog {
    Q_OBJECT
public:
    AboutBox(const QString& board_info, QWidget* parent);
};

} // namespace dravik::console::qt

#endif
