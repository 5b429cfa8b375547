// Dialog units to pixels, the way the original dialog templates measure: one horizontal unit is
// a quarter of the font's average character width, one vertical unit an eighth of its height.
// Sizing the Qt dialogs from their templates this way keeps their proportions with any font.
#ifndef DRAVIK_TESTCONSOLE_QT_DIALOG_UNITS_H
#define DRAVIK_TESTCONSOLE_QT_DIALOG_UNITS_H

#include <QFont>
#include <QRect>
#include <QSize>

namespace dravik::console::qt {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    [[nodiscard]] int x(int units) const { return (units * base_x_ + 2) / 4; }
    [[nodiscard]] int y(int units) const { return (units * base_y_ + 4) / 8; }
    [[nodiscard]] QRect rect(int left, int top, int width, int height) const {
        return {x(left), y(top), x(width), y(height)};
    }
    [[nodiscard]] QSize size(int width, int height) const { return {x(width), y(height)}; }

private:
    int base_x_;
    int base_y_;
};

// The dialogs' fonts: the main dialog's and about box's 9 pt Song face, the parameter dialog's
// 10 pt system face; each falls back to an installed CJK face (WenQuanYi, Noto) on Linux.
[[nodiscard]] QFont song_font_9pt();
// 9 pt with Latin letters and blanks half as wide as Chinese characters, as in the Song face, so
// that texts which align with blanks (the board information) stay aligned; on Linux the
// monospaced WenQuanYi or Noto face.
[[nodiscard]] QFont aligned_font_9pt();
[[nodiscard]] QFont system_font_10pt();

} // namespace dravik::console::qt

#endif
