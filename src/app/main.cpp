// Program start: the shared key lists, the look, the program's own folder as the current directory,
// and the main window, whose creation handler (announcement included) has run before it is shown.

#include "app/shared_lists.h"
#include "platform/http.h"
#include "platform/run_dir.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <QApplication>

#include <filesystem>
#include <system_error>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    lorvane::apply_program_look();
    // A fetch blocks the one GUI thread; the pointer shows that the program is busy meanwhile.
    lorvane::set_busy_hooks([] { QApplication::setOverrideCursor(Qt::WaitCursor); },
                            [] { QApplication::restoreOverrideCursor(); });

    // The shared lists are made, empty, before any window uses them, and released when main returns.
    lorvane::link_names();
    lorvane::history_keys();

    std::error_code ignored;
    std::filesystem::current_path(lorvane::run_dir(), ignored);

    lorvane::MainWindow window;
    lorvane::connect_dialogs(window);
    window.show();
    return QApplication::exec();
}
