// Included by every header of the application layer: the layer's library gives its users the
// definition, so that the checks and the dialogs below it cannot include an application header,
// not even by a relative path.
#pragma once
#ifndef PDIAG_APP_LAYER
#error "a header of the application layer is included from a layer below it"
#endif
