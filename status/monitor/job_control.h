// Pausing, resuming and cancelling the selected waiting jobs through the spooler.
#pragma once
#include "monitor/layer.h"
#include <windows.h>

enum SpoolerJobCommand { SPOOLER_PAUSE, SPOOLER_RESUME, SPOOLER_CANCEL };

// Acts on these jobs of the printer; jobs that left the queue meanwhile are skipped. FALSE when
// the printer could not be opened for it.
BOOL CommandJobs(const DWORD* jobIds, int count, SpoolerJobCommand command);
