#pragma once

#include <QLoggingCategory>
#include <exception>

//! The one way a failure kept from the user reaches the log, so that it can be diagnosed there:
//! a debug line in `category` saying what did not happen and why; for a DbError also its
//! category, the engine's own code and the statement that failed.
namespace DbErrorLog {

//! Writes `e` as the reason why `what` (e.g. "order line not stored") did not happen.
void write(const QLoggingCategory &category, const char *what, const std::exception &e);

} // namespace DbErrorLog
