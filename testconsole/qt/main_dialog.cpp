#include "main_dialog.h"

#include "catalogue_list.h"
#include "dialog_units.h"
#include "program_icon.h"
#include "ui_texts.h"

#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace dravik::console::qt {

namespace {
QString text(const char* utf8) { return QString::fromUtf8(utf8); }
} // namespace

MainDialog::MainDialog(const LibraryApi& api, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("mainDialog"));
    setWindowTitle(text(ui_texts::main_caption));
    setWindowIcon(program_icon());
    setFont(song_font_9pt());
    setSizeGripEnabled(false);

    QMenuBar* bar = build_menu();
    const int menu_height = bar->sizeHint().height();

    // Controls in template order, which is also the tab order. The template measures the client
    // area below the menu bar, so everything moves down by the bar's height.
    const DialogUnits du(font());
    auto place = [&](QWidget* w, int x, int y, int width, int height) {
        QRect r = du.rect(x, y, width, height);
        r.translate(0, menu_height);
        w->setGeometry(r);
    };

    auto* quit = new QPushButton(text(ui_texts::quit_button), this);
    quit->setObjectName(QStringLiteral("quitButton"));
    place(quit, 271, 195, 37, 14);

    auto* group = new QGroupBox(text(ui_texts::group_caption), this);
    group->setAlignment(Qt::AlignHCenter);
    place(group, 17, 11, 397, 204);
    group->lower();

    list_ = new CatalogueList(this);
    place(list_, 24, 31, 378, 159);

    auto* run = new QPushButton(text(ui_texts::run_button), this);
    run->setObjectName(QStringLiteral("runButton"));
    run->setDefault(true);
    place(run, 106, 195, 37, 14);
    auto* decel = new QPushButton(text(ui_texts::decel_button), this);
    decel->setObjectName(QStringLiteral("decelButton"));
    place(decel, 161, 195, 37, 14);
    auto* stop = new QPushButton(text(ui_texts::stop_button), this);
    stop->setObjectName(QStringLiteral("stopButton"));
    place(stop, 216, 195, 37, 14);

    setTabOrder(quit, list_);
    setTabOrder(list_, run);
    setTabOrder(run, decel);
    setTabOrder(decel, stop);

    QSize client = du.size(429, 233);
    client.rheight() += menu_height;
    setFixedSize(client);
    bar->setGeometry(0, 0, client.width(), menu_height);

    view_ = std::make_unique<QtView>(this, list_);
    console_ = std::make_unique<Console>(api, *view_);

    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    connect(run, &QPushButton::clicked, this, [this] { console_->run(); });
    connect(decel, &QPushButton::clicked, this, [this] { console_->decelerate_all(); });
    connect(stop, &QPushButton::clicked, this, [this] { console_->stop_all_now(); });
    connect(list_, &CatalogueList::row_clicked, this, [this](int row) { console_->click(row); });
    connect(list_, &CatalogueList::row_double_clicked, this, [this](int row) { console_->double_click(row); });

    quit->setFocus(); // the first tab stop, as the platform chooses for the original dialog
}

MainDialog::~MainDialog() = default;

QMenuBar* MainDialog::build_menu() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    bar->setNativeMenuBar(false);

    QMenu* file = bar->addMenu(text(ui_texts::file_menu));
    QAction* quit = file->addAction(text(ui_texts::file_quit_item));
    quit->setObjectName(QStringLiteral("quitAction"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* about = bar->addMenu(text(ui_texts::about_menu));
    QAction* info = about->addAction(text(ui_texts::board_info_item));
    info->setObjectName(QStringLiteral("boardInfoAction"));
    connect(info, &QAction::triggered, this, [this] { console_->show_board_info(BoardInfoSource::Menu); });
    // The about item that Windows puts into the system menu; Linux window managers have no
    // menu an application can extend, so it lives here, with the same behaviour.
    about->addSeparator();
    QAction* about_item = about->addAction(text(ui_texts::about_item));
    about_item->setObjectName(QStringLiteral("aboutAction"));
    connect(about_item, &QAction::triggered, this,
            [this] { console_->show_board_info(BoardInfoSource::AboutItem); });

    return bar;
}

void MainDialog::initialise() {
    console_->start_up();
    list_->build();
}

} // namespace dravik::console::qt
