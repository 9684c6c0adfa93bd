// The port choice: lists the ports the chosen printer may use and moves the printer to the
// one picked, classifying it anew. Ends with 1 after a port was applied, 2 after Cancel or Esc.
#pragma once
#include "dialogs/layer.h"
#include "framework/dialog.h"

#include <string>

class CSelectPortDlg : public CDialog {
public:
    CSelectPortDlg();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};
