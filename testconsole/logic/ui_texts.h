// The fixed texts of the console's dialogs (UTF-8), shared by the front ends so that each shows
// exactly the same words. Texts that the logic formats itself live beside their use in
// console.cpp and catalogue.cpp.
#ifndef DRAVIK_TESTCONSOLE_UI_TEXTS_H
#define DRAVIK_TESTCONSOLE_UI_TEXTS_H

namespace dravik::console::ui_texts {

// Main dialog.
inline constexpr const char* main_caption = "TestDravik";
inline constexpr const char* group_caption = "单个函数测试";
inline constexpr const char* run_button = "运行";
inline constexpr const char* decel_button = "缓停";
inline constexpr const char* stop_button = "急停";
inline constexpr const char* quit_button = "退出";
inline constexpr const char* file_menu = "文件(&F)";
inline constexpr const char* file_quit_item = "退出";
inline constexpr const char* about_menu = "关于(&A)";
inline constexpr const char* board_info_item = "板卡信息";
inline constexpr const char* about_item = "关于 TestDravik(&A)...";

// About box.
inline constexpr const char* about_caption = "关于 TestDravik";
inline constexpr const char* about_version = "TestDravik 1.0 版";
inline constexpr const char* about_second_line = "Dravik 运动控制卡测试程序";
inline constexpr const char* about_ok = "确定";

// Parameter dialog; its field labels are "参数1".."参数7", as the list's column titles.
inline constexpr const char* parameter_caption = "参数设置";
inline constexpr const char* parameter_confirm = "确认";
inline constexpr const char* parameter_cancel = "取消";

} // namespace dravik::console::ui_texts

#endif
