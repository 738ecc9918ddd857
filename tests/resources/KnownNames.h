#pragma once

#include <array>

// The image names and display-text keys the screens use. Every entry must resolve in the
// compiled resources; ResourceUsageTest also checks what the source tree itself asks for.
namespace known {

// clang-format off
inline constexpr std::array kImageNames = {
    "I4_yindao_buzhou1", "I4_yindao_buzhou2", "I4_yindao_buzhou3", "I5_yindao_buzhou1",
    "I5_yindao_buzhou2", "I5_yindao_buzhou3", "blueArrow", "blueArrowDown",
    "books_Button_collect_no", "books_Button_collect_yes", "books_Button_orange", "books_Icon_read",
    "books_bianyan", "books_delete", "books_namebg", "books_nobook", "books_shelf",
    "books_siteRss_more", "books_toolBg_Icon_user", "bookshelf_nobook", "btn_done_down",
    "btn_done_up", "center_Button_quit", "center_Icon_collect", "center_Icon_feedback",
    "center_Icon_mailbox", "center_Icon_record", "center_Icon_refresh", "center_Mailbox_dot",
    "center_feedback_button_submit", "center_headBg", "center_mailbox_titleLine",
    "center_settings_line", "center_settings_zt", "center_settings_zt_select",
    "center_toolBg_Icon_settings", "class_textbg", "class_textbg_hover",
    "class_toolBg_Icon_refresh", "column_Icon_free", "column_Reg_tabbg_hover", "public_Bg",
    "public_Column_tab", "public_Column_tab_select", "public_Icon_bookmark", "public_Select_no",
    "public_Select_yes", "public_contentBg", "public_contentBg_repeat", "public_tabbarBg",
    "public_tabbarBg_Icon_books", "public_tabbarBg_Icon_class", "public_tabbarBg_Icon_rank",
    "public_tabbarBg_Icon_recom", "public_tabbarBg_Icon_search", "public_tabbarBg_select",
    "public_toolBg", "public_toolBg_Button", "public_toolBg_Button_back",
    "public_toolBg_Icon_confirm", "read_bookBg_black", "read_bookBg_white", "read_bookmark_nodata",
    "read_bottom_toolBg", "read_bottom_toolBg_Icon_daytime", "read_bottom_toolBg_Icon_font",
    "read_bottom_toolBg_Icon_luminance", "read_bottom_toolBg_Icon_night",
    "read_bottom_toolBg_Icon_progress", "read_bottom_toolBg_Icon_refresh", "read_error",
    "read_page_first", "read_page_last", "read_refresh_no", "read_refresh_yes", "read_tanchuBg",
    "read_tanchuBg_jiantou", "read_tanchuButton_font", "read_tanchuButton_font_line",
    "read_tanchuButton_font_select", "read_tanchuButton_luminance_adding",
    "read_tanchuButton_luminance_weak", "read_tanchuButton_progress_left",
    "read_tanchuButton_progress_right", "read_top_toolBg", "read_top_toolBg_Button_back",
    "read_top_toolBg_Button_bookmark", "read_top_toolBg_Button_chapter",
    "read_top_toolBg_Button_column", "search_cancel", "thumb_pic", "yindao_start_btn"
};

// Images of our own that screens may use besides the ones above.
inline constexpr std::array kOwnImageNames = {
    "app_icon", "center_footer", "column_Reg_tabbg"
};

// English keys; each has a Chinese entry.
inline constexpr std::array kTextKeys = {
    "The network is not good", "back", "cancel", "edit", "delete", "submit", "setting",
    "My bookshelf", "Book detail", "Please open settings not limited wifi download",
    "Looking for books", "In the search", "Search to N records", "Search title, author, etc.",
    "Clear search history", "Clear record of success", "Failed to clear record",
    "The record is empty", "register", "login", "username", "password", "usernameTip",
    "passwordTip", "username cannot be empty", "password cannot be empty", "regByPhone",
    "regByEmail", "phoneNo", "enterPhoneNo", "getCode", "email", "enterEmail", "password2",
    "Confirm Password", "Password length in bits 6-16", "Please enter the confirmation password",
    "nowReg", "check code", "Please enter the verification code", "Submit verification code",
    "Reacquire verification code", "The phone number can not be empty", "Phone number format error",
    "The verification code can not be empty", "The verification code length should be",
    "Password length should be 6-16", "Confirm Password inconsistent", "Register successful",
    "E-mail can not be empty", "Mailbox format error", "My Center", "Welcome to folia",
    "My reading record", "My favorite", "My mailbox", "My message box", "Feedback",
    "The latest version detection", "feedback", "question type:", "feedback and suggest",
    "Users seeking books", "Please describe your suggestions, comments, questions, such as:",
    "Please describe your request books:", "Your email (recommended only):",
    "Your qq number (optional):", "Please select the type of problem",
    "Feedback suggestions can not be empty", "To beg the book can not be empty"
};

// The pull-to-refresh strips look their Chinese texts up as keys.
inline constexpr std::array kChineseKeys = {
    "下拉刷新", "上拉加载", "释放刷新", "释放加载更多", "正在刷新",
    "正在加载", "最后更新", "今天", "昨天", "前天"
};
// clang-format on

} // namespace known
