#pragma once

#include <QString>
#include <exception>
#include <utility>

//! The one guard every event handler runs through: an error that the handler itself does not
//! catch is shown in the standard error box with its own message, and the program goes on.
class HandlerGuard {
public:
    //! Runs `handler`; any exception that leaves it reaches Dialogs::current().error().
    //! Returns false when one did.
    template <typename Handler> static bool run(Handler &&handler) {
        try {
            std::forward<Handler>(handler)();
            return true;
        } catch (...) {
            report(std::current_exception());
            return false;
        }
    }

    //! Wraps `handler` for a signal connection: the returned callable runs it through run().
    template <typename Handler> static auto wrap(Handler handler) {
        return [handler = std::move(handler)](auto &&...) { run(handler); };
    }

    //! The message an exception carries: the engine's text for a data-layer error, what() for
    //! a standard exception, a general text for anything else.
    static QString messageOf(std::exception_ptr error);

private:
    static void report(std::exception_ptr error);
};
