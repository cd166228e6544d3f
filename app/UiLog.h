#pragma once

#include <QLoggingCategory>

//! The window's and pages' trace of failures they keep from the user (`kelvaro.ui`), at the
//! same level as `kelvaro.data`: QT_LOGGING_RULES="kelvaro.*.debug=true" turns both on.
Q_DECLARE_LOGGING_CATEGORY(kelvaroUi)
