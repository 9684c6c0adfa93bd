// The answer to a status query from another process: what the window shows, as a snapshot.
#pragma once
#include "ui/layer.h"
#include <windows.h>
#include "app/protocol.h"

// Fills `snapshot` with what the window shows now.
void TakeStatusSnapshot(PswStatusSnapshot* snapshot);
// PSWM_QUERY_STATUS: sends the snapshot to `asker` when it is a query window ("PswStatusQuery")
// of any process; any other window, or none, gets nothing.
void StatusQuery_OnQuery(HWND asker);
