#pragma once

#include <QLoggingCategory>

//! The window's and pages' trace of failures they keep from the user (`kelvaro.ui`).
Q_DECLARE_LOGGING_CATEGORY(kelvaroUi)
