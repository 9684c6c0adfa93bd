// What a screen reader hears of a dialog's buttons beyond their own texts.
#pragma once
#include <windows.h>

// Gives every push button of `dialog` that has a text line beside it (the next control of the
// template, a static text on the button's rows) that line as its description, so that a
// reader says what the button does along with its name. Nothing visible changes. The button
// answers WM_GETOBJECT with the system's standard object for it, whose description is
// replaced; the accessibility library is loaded only when a reader first asks.
void DescribeButtonsByTheirLines(HWND dialog);
