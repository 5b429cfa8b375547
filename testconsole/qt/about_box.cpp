#include "about_box.h"

#include "dialog_units.h"
#include "program_icon.h"
#include "ui_texts.h"

#include <QLabel>
#include <QPushButton>

namespace dravik::console::qt {

AboutBox::AboutBox(const QString& board_info, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QString::fromUtf8(ui_texts::about_caption));
    setFont(song_font_9pt());
    const DialogUnits du(font());
    setFixedSize(du.size(235, 111));

    auto* icon = new QLabel(this);
    const QRect icon_rect = du.rect(11, 17, 21, 21);
    icon->setGeometry(icon_rect);
    icon->setPixmap(program_icon().pixmap(32, 32));

    auto* version = new QLabel(QString::fromUtf8(ui_texts::about_version), this);
    version->setTextFormat(Qt::PlainText);
    version->setGeometry(du.rect(40, 10, 119, 8));
    auto* second = new QLabel(QString::fromUtf8(ui_texts::about_second_line), this);
    second->setTextFormat(Qt::PlainText);
    second->setGeometry(du.rect(40, 25, 119, 8));

    auto* ok = new QPushButton(QString::fromUtf8(ui_texts::about_ok), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(du.rect(178, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* info = new QLabel(board_info, this);
    info->setObjectName(QStringLiteral("boardInfo"));
    info->setTextFormat(Qt::PlainText);
    info->setFont(aligned_font_9pt());
    info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    info->setGeometry(du.rect(40, 39, 165, 56));
}

} // namespace dravik::console::qt
