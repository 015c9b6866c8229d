#include "ui/history/history_window.h"
#include "ui/links/link_manager.h"
#include "ui/main/main_window.h"

namespace lorvane {

void connect_dialogs(MainWindow& main) {
    main.open_link_manager = [&main] { open_link_manager_window(main); };
    main.open_history = [&main] { open_history_window(main); };
}

} // namespace lorvane
