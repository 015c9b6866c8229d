#pragma once

// Every message box of the program goes through here. A box has no owner window and is modal for
// the whole program; only OK confirms, while Cancel, Esc and the close box abandon.
//
// Tests answer the next box through setNextAnswer: that box is then not shown, and the answer is
// used once. Every box asked for, shown or answered, is written to a log that tests read.

#include "text/text.h"

#include <vector>

namespace lorvane {

class MessageBox {
public:
    enum class Kind { information, warning, question };
    enum Answer { Ok, Cancel };

    struct Record {
        Kind kind;
        Text text;
        Text title; // as shown: the default title when none was given
    };

    // Information icon and OK.
    static void information(const Text& text, const Text& title = {});
    // Exclamation icon, OK and Cancel. True only for OK.
    static bool warning(const Text& text, const Text& title);
    // Question icon, OK and Cancel. True only for OK.
    static bool question(const Text& text, const Text& title = {});

    // The title of a box that was given none: "信息：", with a full-width colon.
    static const Text& default_title();

    static void setNextAnswer(Answer answer);
    static const std::vector<Record>& log();
    static void clearLog();
};

} // namespace lorvane
