#include "datahub/debuglog.h"

Q_LOGGING_CATEGORY(velloranLog, "velloran", QtInfoMsg)
