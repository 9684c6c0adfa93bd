// Included by every header of the dialogs' layer: the layer's library gives its users the
// definition, so that the checks beside it cannot include a dialog's header, not even by a
// relative path.
#pragma once
#ifndef PDIAG_DIALOGS_LAYER
#error "a header of the dialogs' layer is included from outside the dialogs and the application"
#endif
