#include "UiLog.h"

Q_LOGGING_CATEGORY(kelvaroUi, "kelvaro.ui")
