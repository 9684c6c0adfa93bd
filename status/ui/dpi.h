// The window's measures at the DPI of its monitor. The presentation library gives the layout,
// the fonts and the pictures in pixels at 96 DPI; each is scaled here where a rectangle, a font
// or an image is made, and at 96 DPI nothing changes.
#pragma once
#include "ui/layer.h"
#include <windows.h>
#include "app/psw_records.h"

#define DESIGN_DPI 96
// Named here: the build targets Vista, whose headers hide the message.
#define PSW_WM_DPICHANGED 0x02E0

// The DPI of a window's monitor (GetDpiForWindow, Windows 10 1607 and later), or the system's
// from a screen DC where Windows lacks it or no window is given. Tests put their own answer
// here to lay the window out at another DPI than the display's.
extern UINT (*WindowDpi)(HWND window);
// The system's DPI, which the stock fonts are made for.
UINT SystemDpi(void);

// Lays out for `dpi` from now on: every later Dpi_Scale and the GUI font follow it. Returns
// the font made for the DPI before (NULL: none), for the caller to delete once no child uses it.
HFONT Dpi_Set(UINT dpi);
// A measure in pixels at 96 DPI, at the window's DPI: MulDiv(value, dpi, 96).
int Dpi_Scale(int value);
// A system metric at the window's DPI (GetSystemMetricsForDpi, Windows 10 1607 and later), or
// at the system's DPI where Windows lacks that.
int Dpi_Metric(int index);
// A layout rectangle at the window's DPI, its edges scaled so that neighbours stay neighbours.
RECT Dpi_Rect(const PswRect& rect);
// DEFAULT_GUI_FONT at the window's DPI: the stock font itself at the system's DPI.
HFONT Dpi_GuiFont(void);
// Frees the font made for another DPI than the system's.
void Dpi_Release(void);

// Scales 32-bit premultiplied pixels (top-down rows) smoothly, by bilinear interpolation.
void Dpi_StretchPixels(const DWORD* source, int sourceWidth, int sourceHeight, DWORD* target, int width,
                       int height);
// Draws image `index` of `picture` at (0, 0): its colours, or its mask (white where transparent).
typedef void (*MaskedDraw)(HDC dc, const void* picture, int index, BOOL mask);
// A masked image as 32-bit premultiplied pixels: its colours where the mask lets them
// through, transparent elsewhere. FALSE when it cannot be drawn.
BOOL Dpi_MaskedPixels(MaskedDraw draw, const void* picture, int index, int width, int height, DWORD* pixels);
// Premultiplied pixels to straight alpha, as icons and image lists take them.
void Dpi_Unpremultiply(DWORD* pixels, int count);
// A 32-bit top-down DIB section of the given size, its pixels at *bits; NULL when it cannot be made.
HBITMAP Dpi_PixelBitmap(int width, int height, DWORD** bits);
