#include "ui/main/site_shortcuts.h"

#include "ui/main/main_window.h"

#include <string_view>

namespace lorvane {

namespace {

#ifndef LORVANE_ANNOUNCEMENT_HOST
#error "LORVANE_ANNOUNCEMENT_HOST must name the announcement server's host"
#endif
constexpr std::string_view host = LORVANE_ANNOUNCEMENT_HOST;
constexpr std::string_view server_scheme = "https://";
constexpr std::string_view server_port = ":442";

// The services' home pages, PPTV and LeTV on plain HTTP; for M1905 one fixed film play page of its
// VIP site, also on plain HTTP.
constexpr std::string_view iqiyi_home = "https://www.iqiyi.com/";
constexpr std::string_view tencent_video_home = "https://v.qq.com/";
constexpr std::string_view youku_home = "https://www.youku.com/";
constexpr std::string_view sohu_video_home = "https://tv.sohu.com/";
constexpr std::string_view pptv_home = "http://www.pptv.com/";
constexpr std::string_view mango_tv_home = "https://www.mgtv.com/";
constexpr std::string_view letv_home = "http://www.le.com/";
constexpr std::string_view tudou_home = "https://www.tudou.com/";
constexpr std::string_view m1905_vip_play_page = "http://vip.1905.com/play/1295233.shtml";

} // namespace

const Text& announcement_host() {
    static const Text text(host);
    return text;
}

Text announcement_server_root() {
    return Text(server_scheme) + announcement_host() + Text(server_port) + "/";
}

const std::array<SiteShortcut, 10>& site_shortcuts() {
    static const std::array<SiteShortcut, 10> table{{
        {&MainWindow::奇艺按钮1, u"奇艺按钮1", u"奇艺视频", Text(iqiyi_home)},
        {&MainWindow::腾讯按钮2, u"腾讯按钮2", u"腾讯视频", Text(tencent_video_home)},
        {&MainWindow::优酷按钮3, u"优酷按钮3", u"优酷视频", Text(youku_home)},
        {&MainWindow::搜狐按钮4, u"搜狐按钮4", u"搜狐视频", Text(sohu_video_home)},
        {&MainWindow::PPTV按钮5, u"PPTV按钮5", u"PPTV视频", Text(pptv_home)},
        {&MainWindow::芒果按钮6, u"芒果按钮6", u"芒果视频", Text(mango_tv_home)},
        {&MainWindow::乐视按钮7, u"乐视按钮7", u"乐视视频", Text(letv_home)},
        {&MainWindow::土豆按钮8, u"土豆按钮8", u"土豆视频", Text(tudou_home)},
        {&MainWindow::M1905按钮9, u"M1905按钮9", u"M1905视频", Text(m1905_vip_play_page)},
        {&MainWindow::监控安防按钮10, u"监控安防按钮10", u"监控安防", announcement_server_root()},
    }};
    return table;
}

} // namespace lorvane
