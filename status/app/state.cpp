#include "app/state.h"

StatusWindowState g_state;

void* AllocZeroed(SIZE_T bytes)
{
    EnterCriticalSection(&g_state.ProcessHeapLock);
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
    LeaveCriticalSection(&g_state.ProcessHeapLock);
    return block;
}

BOOL FreeBlock(void* block)
{
    EnterCriticalSection(&g_state.ProcessHeapLock);
    BOOL freed = block ? HeapFree(GetProcessHeap(), 0, block) : FALSE;
    LeaveCriticalSection(&g_state.ProcessHeapLock);
    return freed;
}
