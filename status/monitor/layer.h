// Included by every header of the monitor layer: the layer's library gives its users the
// definition, so that the window-less base below it cannot include a monitor header, not even
// by a relative path.
#pragma once
#ifndef PSTATUS_MONITOR_LAYER
#error "a header of the monitor layer is included from the layer below it"
#endif
