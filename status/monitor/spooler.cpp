#include "monitor/spooler.h"

SpoolerFunctions g_spooler = {
    FindFirstPrinterChangeNotification, FindNextPrinterChangeNotification, FreePrinterNotifyInfo,
    FindClosePrinterChangeNotification, GetJobW, SetJobW,
};
