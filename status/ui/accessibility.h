// What a screen reader hears of the status window: every part answers with a role, a name and,
// where it has one, a value, and the changes of state, document and pages are announced.
#pragma once
#include "ui/layer.h"
#include <windows.h>

// Makes every part of the window answer screen readers (after the children are made); the
// part that takes the focus is remembered as the child to give it back to.
void Accessibility_AnnounceParts(void);
// Gives the self-drawn panes the texts they show now (the state, the document, the pages) and
// announces what changed; `alert` (a printer error that popped the window up) announces a new
// state as an alert.
void Accessibility_SayStatus(BOOL alert);
// Releases what answering screen readers took (window destruction).
void Accessibility_Shutdown(void);
