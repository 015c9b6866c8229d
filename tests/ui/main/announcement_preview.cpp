// The main window with an announcement served by the local HTTPS server, to look at the strip by eye:
// under Xvfb, `announcement_preview "text" &` and then `import -window root shot.png`. It runs until
// its window is closed; ctest does not run it.

#include "local_servers.h"

#include "platform/http.h"
#include "platform/run_dir.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"
#include "ui/main/marquee.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QByteArray announcement =
        argc > 1 ? QByteArray(argv[1])
                 : QByteArrayLiteral("欢迎使用 Lorvane!本公告由本机 HTTPS 服务器提供,从右向左滚动。");

    // A data folder of its own, so that no real Data/URL.ini is touched.
    QTemporaryDir dir;
    lorvane::set_run_dir_for_tests(QFile::encodeName(dir.path()).toStdString());

    const lorvane::testing::LocalServers& servers = lorvane::testing::local_servers();
    lorvane::HttpSettings settings;
    settings.ca_file = servers.ca_file;
    lorvane::set_http_settings_for_tests(settings);
    lorvane::set_announcement_endpoint_for_tests(
        servers.https("/page?body=" + announcement.toPercentEncoding().toStdString()));

    lorvane::apply_program_look();
    lorvane::MainWindow window;
    window.show();
    return QApplication::exec();
}
