#include "dialogs/dialog_host.h"

#include "framework/winapp.h"

DialogHost* TheDialogHost()
{
    return dynamic_cast<DialogHost*>(AfxGetApp());
}
