// Drawing of the status window's own panes: the picture pane, the job-status and
// printer-status panes, and the page-progress bar.
#pragma once
#include "ui/layer.h"
#include <windows.h>

#define KEY_COLOUR_RED 255
#define KEY_COLOUR_GREEN 0
#define KEY_COLOUR_BLUE 255

// The palette from the colour table of the program's 16-colour bitmap.
HPALETTE CreateProgramPalette(void);
// Colours in the colour table of a packed DIB.
DWORD DibColourCount(const BITMAPINFOHEADER* header);

// Subclasses the picture, job-status and printer-status panes, and the detail list.
void SubclassPanes(void);
void SubclassDetailList(void);
LRESULT CALLBACK ProgressBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What the picture pane, the job-status pane and the progress bar show, drawn on `dc`
// (their WM_PAINT draws on the pane itself).
void DrawPicturePane(HDC dc, const RECT& client);
void DrawJobStatus(HDC dc, RECT rect);
// The display record's message lines, each ended by CR LF, into `text` of `chars` (lines that
// do not fit are left out; NULL and 0 to measure). Returns the characters all lines need,
// the terminator included.
SIZE_T MessageLinesText(wchar_t* text, SIZE_T chars);
void DrawProgressBar(HDC dc, const RECT& client);
// The progress bar's text for the remembered pages printed and total pages, into a buffer of
// FORMATTED_TEXT_CHARS.
void ProgressText(wchar_t* text);

// Whether the system's high-contrast scheme is on (SPI_GETHIGHCONTRAST): then the panes and the
// progress bar take the window and highlight colours and the picture pane no gradient. Wine
// cannot switch the scheme on, so tests put their own answer here.
extern BOOL (*HighContrastOn)(void);
// Forgets whether high contrast is on (the system's colours or settings changed).
void ForgetHighContrast(void);
// Forgets the picture pane's gradient and background (the system colours or the DPI changed).
void DropPictureCache(void);
// Forgets the status icon made for the size it is shown at (the DPI changed).
void DropStatusIcon(void);

// Fills the rectangle with the colour bands of the current colour scheme.
void FillGradient(HDC dc, int left, int top, int right, int bottom);
// Draws a picture of the presentation library at (x, y), leaving its key colour transparent.
void DrawTransparentDib(HDC dc, HRSRC picture, int x, int y, int workWidth, int workHeight);
