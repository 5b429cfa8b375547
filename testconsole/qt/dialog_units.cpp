#include "dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace dravik::console::qt {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    // Average width over the Latin letters, rounded as the platform does for dialog templates.
    const int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    base_x_ = qMax(1, (letters / 26 + 1) / 2);
    base_y_ = qMax(1, fm.height());
}

namespace {
QFont cjk_font(const QStringList& preferred, int points) {
    QFont f;
    QStringList families = preferred;
    families << QStringLiteral("WenQuanYi Micro Hei") << QStringLiteral("Noto Sans CJK SC")
             << QStringLiteral("Noto Sans SC") << f.family();
    f.setFamilies(families);
    f.setPointSize(points);
    return f;
}
} // namespace

QFont song_font_9pt() {
    return cjk_font({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun")}, 9);
}

QFont aligned_font_9pt() {
    QFont f = cjk_font({QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("WenQuanYi Micro Hei Mono"),
                        QStringLiteral("Noto Sans Mono CJK SC")},
                       9);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

QFont system_font_10pt() { return cjk_font({QStringLiteral("Microsoft YaHei UI")}, 10); }

} // namespace dravik::console::qt
