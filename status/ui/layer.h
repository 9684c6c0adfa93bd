// Included by every header of the window layer: the layer's library gives its users the
// definition, so that the layers below it cannot include a window header, not even by a
// relative path.
#pragma once
#ifndef PSTATUS_UI_LAYER
#error "a header of the window layer is included from a layer below it"
#endif
