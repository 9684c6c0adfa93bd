// Pausing, resuming and cancelling the selected waiting jobs through the spooler.
#pragma once
#include <windows.h>

enum SpoolerJobCommand { SPOOLER_PAUSE, SPOOLER_RESUME, SPOOLER_CANCEL };

// Acts on the jobs selected in the waiting list, then leaves the list with no selection and
// the focus on its first row. Jobs that left the queue meanwhile are skipped.
void CommandSelectedJobs(SpoolerJobCommand command);
