// The Qt main dialog over the recording fake library, under the offscreen platform: start-up
// messages, the list, clicks and double-clicks, the parameter dialog, "运行", the stop buttons
// and the board information.
#include "catalogue_list.h"
#include "fake_library.h"
#include "main_dialog.h"
#include "modal_answerer.h"

#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace dravik::console::testing {
namespace {

using qt::CatalogueList;
using qt::MainDialog;

class MainWindow : public ::testing::Test {
protected:
    MainWindow() {
        fake.returns("auto_set", 8);
        fake.returns("init_board", 2);
        fake.returns("get_max_axe", 8);
        dialog = std::make_unique<MainDialog>(api);
        answerer = std::make_unique<ModalAnswerer>(dialog.get());
        fake.name_slots(dialog->console().call_slots());
        dialog->initialise();
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        list = dialog->list();
        log.clear();
        answerer->messages.clear();
    }

    QPoint cell_centre(int row, int column) const {
        return list->visualRect(list->model()->index(row, column)).center();
    }
    void click_row(int row) {
        list->scrollToItem(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell_centre(row, 0));
    }
    void double_click_row(int row) {
        list->scrollToItem(list->topLevelItem(row));
        const QPoint p = cell_centre(row, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, p);
    }
    void press(const char* name) {
        auto* button = dialog->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString cell(int row, int column) const { return list->topLevelItem(row)->text(column); }

    std::vector<std::string> log;
    FakeLibrary fake{log};
    LibraryApi api = fake.api();
    std::unique_ptr<MainDialog> dialog;
    std::unique_ptr<ModalAnswerer> answerer;
    CatalogueList* list = nullptr;
};

TEST_F(MainWindow, StartUpMessagesComeBeforeTheDialogAppears) {
    // Run the start-up again on a fresh dialog to watch it from the beginning.
    answerer.reset();
    log.clear();
    MainDialog fresh(api);
    ModalAnswerer watcher(&fresh);
    fresh.initialise();
    ASSERT_EQ(watcher.messages.size(), 2u);
    EXPECT_EQ(watcher.messages[0].text, QStringLiteral("轴数=8"));
    EXPECT_EQ(watcher.messages[1].text, QStringLiteral("卡数=2"));
    for (const SeenMessage& m : watcher.messages) {
        EXPECT_FALSE(m.owner_visible);
        EXPECT_EQ(m.caption, QCoreApplication::applicationName());
        EXPECT_EQ(m.icon, QMessageBox::NoIcon);
        EXPECT_EQ(m.buttons, 1);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"auto_set()", "init_board()"}));
}

TEST_F(MainWindow, FrameListAndButtons) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("TestDravik"));
    ASSERT_EQ(list->topLevelItemCount(), 79);
    ASSERT_EQ(list->columnCount(), 8);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("函数"));
    EXPECT_EQ(list->columnWidth(0), 300);
    for (int c = 1; c < 8; ++c) {
        EXPECT_EQ(list->headerItem()->text(c), QStringLiteral("参数%1").arg(c));
        EXPECT_EQ(list->columnWidth(c), 80);
    }
    EXPECT_EQ(cell(49, 0), QStringLiteral("set_alm_logci(int ch,int flag)"));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    for (int r = 0; r < 79; ++r)
        for (int c = 1; c < 8; ++c) ASSERT_TRUE(cell(r, c).isEmpty());
    auto* run = dialog->findChild<QPushButton*>(QStringLiteral("runButton"));
    // Focus starts on "退出", which is the default button while it has focus; elsewhere "运行" is.
    EXPECT_TRUE(dialog->findChild<QPushButton*>(QStringLiteral("quitButton"))->hasFocus());
    list->setFocus();
    EXPECT_TRUE(run->isDefault());
    EXPECT_EQ(run->text(), QStringLiteral("运行"));
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("decelButton"))->text(), QStringLiteral("缓停"));
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("stopButton"))->text(), QStringLiteral("急停"));
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("quitButton"))->text(), QStringLiteral("退出"));
    EXPECT_EQ(dialog->findChild<QAction*>(QStringLiteral("boardInfoAction"))->text(), QStringLiteral("板卡信息"));
    EXPECT_EQ(dialog->findChild<QAction*>(QStringLiteral("aboutAction"))->text(),
              QStringLiteral("关于 TestDravik(&A)..."));
}

TEST_F(MainWindow, RunBeforeAnyClickShowsTheAxisCount) {
    press("runButton");
    ASSERT_EQ(answerer->messages.size(), 1u);
    EXPECT_EQ(answerer->messages[0].text, QStringLiteral("板卡总轴数--8"));
    EXPECT_TRUE(answerer->messages[0].owner_visible);
}

TEST_F(MainWindow, EnterInTheListPressesRun) {
    click_row(1);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(answerer->messages.size(), 1u);
    EXPECT_EQ(answerer->messages[0].text, QStringLiteral("板卡数--0"));
    EXPECT_EQ(log, (std::vector<std::string>{"get_board_num()"}));
}

TEST_F(MainWindow, DoubleClickConfirmThenRunMakesTheRowsCall) {
    answerer->fill_parameters(std::vector<QString>{QStringLiteral("1"), QStringLiteral("1000")});
    double_click_row(12);
    EXPECT_EQ(dialog->console().selected_row(), 12);
    ASSERT_EQ(answerer->parameter_presets.size(), 1u);
    EXPECT_EQ(answerer->parameter_presets[0], std::vector<QString>(7));
    EXPECT_EQ(cell(12, 1), QStringLiteral("1"));
    EXPECT_EQ(cell(12, 2), QStringLiteral("1000"));
    press("runButton");
    EXPECT_EQ(log, (std::vector<std::string>{"fast_pmove(1,1000)"}));
    EXPECT_TRUE(answerer->messages.empty());
}

TEST_F(MainWindow, CancelledParameterDialogChangesNothing) {
    answerer->fill_parameters(std::vector<QString>{QStringLiteral("5"), QStringLiteral("6")});
    double_click_row(5);
    answerer->fill_parameters(std::nullopt);
    double_click_row(5);
    ASSERT_EQ(answerer->parameter_presets.size(), 2u);
    EXPECT_EQ(answerer->parameter_presets[1][0], QStringLiteral("5"));
    EXPECT_EQ(cell(5, 1), QStringLiteral("5"));
    press("runButton");
    ASSERT_EQ(answerer->messages.size(), 1u);
    EXPECT_EQ(answerer->messages[0].text, QStringLiteral("执行set_maxspeed(5,6)"));
    EXPECT_EQ(log, (std::vector<std::string>{"set_maxspeed(5,6.0)"}));
}

TEST_F(MainWindow, ResultCellsAppearInTheList) {
    fake.writes("get_abs_pos", {4321});
    answerer->fill_parameters(std::vector<QString>{QStringLiteral("1")});
    double_click_row(50);
    click_row(50);
    press("runButton");
    EXPECT_EQ(log, (std::vector<std::string>{"get_abs_pos(1,&P2)"}));
    EXPECT_EQ(cell(50, 2), QStringLiteral("4321"));
}

TEST_F(MainWindow, ClickOnEmptySpaceSelectsNoRowAndRunDoesNothing) {
    click_row(3);
    EXPECT_EQ(dialog->console().selected_row(), 3);
    list->scrollToBottom();
    const QRect last = list->visualRect(list->model()->index(78, 0));
    const QPoint below(last.center().x(), last.bottom() + 10);
    ASSERT_FALSE(list->indexAt(below).isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(dialog->console().selected_row(), -1);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    press("runButton");
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(answerer->messages.empty());
}

TEST_F(MainWindow, KeyboardMovesDoNotChangeTheRowThatRuns) {
    click_row(0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(dialog->console().selected_row(), 0);
}

TEST_F(MainWindow, PrototypeEditedInPlaceReverts) {
    QTreeWidgetItem* item = list->topLevelItem(2);
    list->setCurrentItem(item);
    list->editItem(item, 0);
    auto* editor = list->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("changed"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(cell(2, 0), QStringLiteral("get_axe(int board_no)"));
    // The parameter cells open no editor at all.
    QApplication::processEvents();
    list->editItem(item, 3);
    QApplication::processEvents();
    const auto editors = list->findChildren<QLineEdit*>();
    EXPECT_TRUE(std::none_of(editors.begin(), editors.end(), [](QLineEdit* e) { return e->isVisible(); }));
}

TEST_F(MainWindow, StopButtonsStopEveryAxisAscending) {
    fake.returns("get_max_axe", 3);
    press("stopButton");
    press("decelButton");
    EXPECT_EQ(log, (std::vector<std::string>{"get_max_axe()", "sudden_stop(1)", "sudden_stop(2)", "sudden_stop(3)",
                                             "get_max_axe()", "decel_stop(1)", "decel_stop(2)", "decel_stop(3)"}));
}

TEST_F(MainWindow, BoardInformationFromTheMenuAndTheAboutItem) {
    fake.writes("get_lib_ver", {3, 0, 1});
    dialog->findChild<QAction*>(QStringLiteral("boardInfoAction"))->trigger();
    fake.writes("get_lib_ver", {3, 0, 1});
    dialog->findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();
    ASSERT_EQ(answerer->about_texts.size(), 2u);
    for (const QString& t : answerer->about_texts) {
        EXPECT_TRUE(t.startsWith(QStringLiteral("计算机内插有 2 张板卡。共有 8 根轴。\n"))) << t.toStdString();
        EXPECT_TRUE(t.contains(QStringLiteral("函数库版本号   ：3.0.1"))) << t.toStdString();
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), "sudden_stop(8)"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "reset_pos(8)"), 2);
}

TEST_F(MainWindow, EscapeAndTheQuitItemEndTheDialogWithoutALibraryCall) {
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    dialog->show();
    dialog->findChild<QAction*>(QStringLiteral("quitAction"))->trigger();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(log.empty());
}

} // namespace
} // namespace dravik::console::testing

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
