#include "HandlerGuard.h"

#include "DbError.h"
#include "Dialogs.h"

#include <QCoreApplication>

QString HandlerGuard::messageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const DbError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QCoreApplication::translate("HandlerGuard", "An unexpected error occurred.");
    }
}

void HandlerGuard::report(std::exception_ptr error) {
    const QString text = messageOf(error);
    // The error box itself must not take the program down.
    try {
        Dialogs::current().error(text);
    } catch (...) {
    }
}
