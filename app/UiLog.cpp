#include "UiLog.h"

// At the data layer's level: debug lines are off unless the rules ask for them.
Q_LOGGING_CATEGORY(kelvaroUi, "kelvaro.ui", QtInfoMsg)
