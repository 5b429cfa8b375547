// Photographs the main dialog as a user sees it after start-up against two 4-axis boards, with a
// row filled in and selected, and saves it as a PNG; the parameter dialog and the about box are
// saved beside it (-parameters.png, -about.png). Run under a real X server (xvfb-run) so that
// the picture shows the fonts and styles a user gets. Fails when the dialog's font cannot draw
// the Chinese texts or the file cannot be written.
#include "catalogue_list.h"
#include "fake_library.h"
#include "main_dialog.h"
#include "modal_answerer.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPixmap>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    using namespace dravik::console;
    std::vector<std::string> log;
    testing::FakeLibrary fake(log);
    fake.returns("auto_set", 8);
    fake.returns("init_board", 2);
    const LibraryApi api = fake.api();

    const QString path = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto sibling = [&](const char* suffix) {
        QString p = path;
        return p.replace(QStringLiteral(".png"), QString::fromLatin1(suffix));
    };

    qt::MainDialog dialog(api);
    testing::ModalAnswerer answerer(&dialog);
    answerer.before_answer = [&](QWidget* modal) {
        if (modal->objectName() == QLatin1String("parameterDialog"))
            modal->grab().save(sibling("-parameters.png"), "PNG");
        else if (modal->objectName() == QLatin1String("aboutBox"))
            modal->grab().save(sibling("-about.png"), "PNG");
    };
    dialog.initialise();
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        std::fputs("the main dialog was never shown\n", stderr);
        return 1;
    }

    // Fill row 12 (fast_pmove) through the parameter dialog, as a user would.
    qt::CatalogueList* list = dialog.list();
    answerer.fill_parameters(std::vector<QString>{QStringLiteral("1"), QStringLiteral("5000")});
    const QPoint row12 = list->visualRect(list->model()->index(12, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row12);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row12);
    QTest::qWait(50);

    const QFontMetrics fm(dialog.font());
    for (char32_t c : {U'运', U'参', U'数', U'急'}) {
        if (!fm.inFontUcs4(static_cast<uint>(c))) {
            std::fprintf(stderr, "the dialog font (%s) has no glyph for U+%04X\n",
                         qPrintable(QFontInfo(dialog.font()).family()), static_cast<unsigned>(c));
            return 1;
        }
    }

    if (!dialog.grab().save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    // The about box, opened from the menu; its picture is taken while it is open.
    fake.writes("get_lib_ver", {3, 0, 1});
    fake.writes("get_sys_ver", {3, 0, 0});
    fake.writes("get_card_ver", {0, 2, 2, 0});
    dialog.console().show_board_info(BoardInfoSource::Menu);

    std::printf("saved %s (font %s)\n", argv[1], qPrintable(QFontInfo(dialog.font()).family()));
    return 0;
}
