// The program icon: a motion-board glyph painted at 16 x 16 and 32 x 32 pixels.
#ifndef DRAVIK_TESTCONSOLE_QT_PROGRAM_ICON_H
#define DRAVIK_TESTCONSOLE_QT_PROGRAM_ICON_H

#include <QIcon>

namespace dravik::console::qt {

[[nodiscard]] QIcon program_icon();

} // namespace dravik::console::qt

#endif
