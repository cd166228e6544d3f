#include "DataLog.h"

// Debug lines are off unless the rules ask for them: users see nothing new.
Q_LOGGING_CATEGORY(lcData, "kelvaro.data", QtInfoMsg)
