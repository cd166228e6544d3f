#pragma once

#include <QLoggingCategory>

//! The data layer's log (`kelvaro.data`): failures it keeps from the user leave a debug line
//! here, so a fault in the field can be traced with QT_LOGGING_RULES="kelvaro.data.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcData)
