#include "ui/drawing.h"
#include "app/protocol.h"
#include "app/state.h"
#include "app/strings.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/repaint.h"
#include "ui/views.h"
#include <commctrl.h>

#define GRADIENT_BANDS 40
#define SCHEME_TEAL 600
#define SCHEME_AMBER 601
#define SCHEME_MIRRORED 602
#define SCHEME_SYSTEM_COLOURS MAXDWORD   // what the picture cache holds under a high-contrast scheme
#define STATUS_ICON_SIZE 32
#define ICON_RESOURCE_VERSION 0x00030000
#define PROGRESS_TEXT_CHARS 520
#define PROGRESS_FILL RGB(0, 0, 255)
#define PROGRESS_FILL_TEXT RGB(255, 255, 255)

// The system's answer, kept until it says its colours or settings changed: every pane's paint
// asks, and under Wine each question reads the registry (it doubled a status block's cost).
// -1: not asked yet. Written and read on the window's thread only.
static int s_highContrast = -1;

static BOOL SystemHighContrast(void)
{
    if (s_highContrast < 0) {
        HIGHCONTRASTW scheme = {};
        scheme.cbSize = sizeof(scheme);
        s_highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(scheme), &scheme, 0) &&
                         (scheme.dwFlags & HCF_HIGHCONTRASTON);
    }
    return s_highContrast;
}

void ForgetHighContrast(void)
{
    s_highContrast = -1;
}

BOOL (*HighContrastOn)(void) = SystemHighContrast;

// The colours of what the window draws itself. With a high-contrast scheme only the scheme's
// colours are used (the window's and the highlight's) and nothing is shaded.
struct DrawingColours {
    BOOL schemeOnly;
    int background;                    // system colour index of the panes' background
    COLORREF text, fill, fillText;     // text; the printed part of the progress bar and its text
};

static DrawingColours CurrentColours(void)
{
    DrawingColours colours;
    colours.schemeOnly = HighContrastOn();
    colours.background = colours.schemeOnly ? COLOR_WINDOW : COLOR_BTNFACE;
    colours.text = GetSysColor(colours.schemeOnly ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
    colours.fill = colours.schemeOnly ? GetSysColor(COLOR_HIGHLIGHT) : PROGRESS_FILL;
    colours.fillText = colours.schemeOnly ? GetSysColor(COLOR_HIGHLIGHTTEXT) : PROGRESS_FILL_TEXT;
    return colours;
}

DWORD DibColourCount(const BITMAPINFOHEADER* header)
{
    if (header->biClrUsed)
        return header->biClrUsed;
    switch (header->biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

// A packed DIB among the resources of `module`; NULL when it is not there.
static const BITMAPINFOHEADER* LockDib(HMODULE module, HRSRC resource)
{
    HGLOBAL loaded = resource ? LoadResource(module, resource) : NULL;
    return loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : NULL;
}

HPALETTE CreateProgramPalette(void)
{
    const BITMAPINFOHEADER* header =
        LockDib(g_state.instance, FindResourceW(g_state.instance, MAKEINTRESOURCEW(IDB_PALETTE), RT_BITMAP));
    if (!header)
        return NULL;
    DWORD colours = DibColourCount(header);
    LOGPALETTE* palette = static_cast<LOGPALETTE*>(
        AllocZeroed(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY)));
    if (!palette)
        return NULL;
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + header->biSize);
    palette->palVersion = 0x300;
    palette->palNumEntries = WORD(colours);
    for (DWORD i = 0; i < colours; ++i) {
        palette->palPalEntry[i].peRed = table[i].rgbRed;
        palette->palPalEntry[i].peGreen = table[i].rgbGreen;
        palette->palPalEntry[i].peBlue = table[i].rgbBlue;
        palette->palPalEntry[i].peFlags = 0;
    }
    HPALETTE result = CreatePalette(palette);
    FreeBlock(palette);
    return result;
}

// ---- Picture pane ----

struct SchemeColours {
    int start[3], step[3];   // red, green, blue
};

static void PaintBand(HDC dc, COLORREF colour, int x, int y, int width, int height)
{
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ previous = SelectObject(dc, brush);
    PatBlt(dc, x, y, width, height, PATCOPY);
    SelectObject(dc, previous);
    DeleteObject(brush);
}

static COLORREF BandColour(const SchemeColours& scheme, int band)
{
    int c[3];
    for (int i = 0; i < 3; ++i)
        c[i] = scheme.start[i] + band * scheme.step[i] / GRADIENT_BANDS;
    return RGB(c[0], c[1], c[2]);
}

void FillGradient(HDC dc, int left, int top, int right, int bottom)
{
    static const SchemeColours kTeal = {{0, 128, 128}, {192, 64, 64}};
    static const SchemeColours kAmber = {{255, 128, 0}, {0, 127, 0}};
    static const SchemeColours kMirrored = {{187, 0, 0}, {-59, 128, 128}};
    DWORD schemeId = g_state.display.colourScheme;
    const SchemeColours& scheme = schemeId == SCHEME_TEAL ? kTeal : schemeId == SCHEME_AMBER ? kAmber : kMirrored;
    unsigned width = unsigned(right - left), height = unsigned(bottom - top);

    if (schemeId != SCHEME_MIRRORED) {
        for (unsigned band = 1; band <= GRADIENT_BANDS; ++band) {
            unsigned from = (band - 1) * height / GRADIENT_BANDS, to = band * height / GRADIENT_BANDS;
            PaintBand(dc, BandColour(scheme, int(band)), 0, int(from), int(width), int(to - from));
        }
        return;
    }
    // The bottom half mirrors the top; the colours meet in the middle row.
    unsigned half = height >> 1;
    for (unsigned band = 1; band <= GRADIENT_BANDS; ++band) {
        unsigned from = (band - 1) * half / GRADIENT_BANDS, to = band * half / GRADIENT_BANDS;
        COLORREF colour = BandColour(scheme, int(band));
        PaintBand(dc, colour, 0, int(from), int(width), int(to - from));
        PaintBand(dc, colour, 0, int(height - from - (to - from)), int(width), int(to - from));
    }
    PaintBand(dc, BandColour(scheme, GRADIENT_BANDS), 0, int(half), int(width), 1);
}

// Header and colour table of a DIB for one of the two passes: the mask (white where the
// picture has the key colour, black elsewhere) or the image (the key colour made black).
static BITMAPINFO* ColourTableCopy(const BITMAPINFOHEADER* header, DWORD colours, BOOL mask)
{
    SIZE_T bytes = header->biSize + colours * sizeof(RGBQUAD);
    BITMAPINFO* copy = static_cast<BITMAPINFO*>(AllocZeroed(bytes));
    if (!copy)
        return NULL;
    CopyMemory(copy, header, bytes);
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(copy) + header->biSize);
    const RGBQUAD white = {255, 255, 255, 0}, black = {0, 0, 0, 0};
    for (DWORD i = 0; i < colours; ++i) {
        BOOL key = table[i].rgbRed == KEY_COLOUR_RED && table[i].rgbGreen == KEY_COLOUR_GREEN &&
                   table[i].rgbBlue == KEY_COLOUR_BLUE;
        if (mask)
            table[i] = key ? white : black;
        else if (key)
            table[i] = black;
    }
    return copy;
}

// Combines the picture's bits, read through `info`, into `target` at (x, y) with `rop`.
static void CombineDib(HDC target, HDC reference, const BITMAPINFO* info, const void* bits, int x, int y,
                       int width, int height, DWORD rop)
{
    HBITMAP bitmap = CreateDIBitmap(reference, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
    if (!bitmap)
        return;
    HDC source = CreateCompatibleDC(reference);
    HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(target, x, y, width, height, source, 0, 0, rop);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
}

void DrawTransparentDib(HDC dc, HRSRC picture, int x, int y, int workWidth, int workHeight)
{
    const BITMAPINFOHEADER* header = LockDib(g_state.libraries.presentation, picture);
    if (!header)
        return;
    DWORD colours = DibColourCount(header);
    const void* bits = reinterpret_cast<const BYTE*>(header) + header->biSize + colours * sizeof(RGBQUAD);
    int width = header->biWidth, height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    BITMAPINFO* maskInfo = ColourTableCopy(header, colours, TRUE);
    BITMAPINFO* imageInfo = ColourTableCopy(header, colours, FALSE);
    HBITMAP work = CreateCompatibleBitmap(dc, workWidth, workHeight);
    HDC memory = CreateCompatibleDC(dc);
    if (maskInfo && imageInfo && work && memory) {
        HGDIOBJ previousBitmap = SelectObject(memory, work);
        HPALETTE previousPalette = g_state.palette ? SelectPalette(memory, g_state.palette, FALSE) : NULL;
        RealizePalette(memory);
        SetMapMode(memory, GetMapMode(dc));
        BitBlt(memory, x, y, width, height, dc, x, y, SRCCOPY);
        CombineDib(memory, dc, maskInfo, bits, x, y, width, height, SRCAND);
        CombineDib(memory, dc, imageInfo, bits, x, y, width, height, SRCPAINT);
        BitBlt(dc, x, y, width, height, memory, x, y, SRCCOPY);
        if (previousPalette)
            SelectPalette(memory, previousPalette, FALSE);
        SelectObject(memory, previousBitmap);
    }
    if (memory)
        DeleteDC(memory);
    if (work)
        DeleteObject(work);
    FreeBlock(imageInfo);
    FreeBlock(maskInfo);
}

void DropPictureCache(void)
{
    if (g_state.pictureCache) {
        SelectObject(g_state.pictureCache, g_state.pictureCacheOldBitmap);
        DeleteDC(g_state.pictureCache);
    }
    if (g_state.pictureCacheBitmap)
        DeleteObject(g_state.pictureCacheBitmap);
    g_state.pictureCache = NULL;
    g_state.pictureCacheBitmap = g_state.pictureCacheOldBitmap = NULL;
}

// Gradient (the window's colour under a high-contrast scheme) and background picture, rebuilt
// only when the background or the scheme changes.
static void BuildPictureCache(HDC dc, const RECT& client, DWORD scheme)
{
    DropPictureCache();
    g_state.pictureCache = CreateCompatibleDC(dc);
    g_state.pictureCacheBitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    if (!g_state.pictureCache || !g_state.pictureCacheBitmap) {
        DropPictureCache();
        return;
    }
    g_state.pictureCacheOldBitmap =
        static_cast<HBITMAP>(SelectObject(g_state.pictureCache, g_state.pictureCacheBitmap));
    if (scheme == SCHEME_SYSTEM_COLOURS)
        FillRect(g_state.pictureCache, &client, GetSysColorBrush(COLOR_WINDOW));
    else
        FillGradient(g_state.pictureCache, client.left, client.top, client.right, client.bottom);
    g_state.cacheScheme = scheme;
    const HRSRC* background = g_state.display.background;
    if (background && !IsBadReadPtr(background, sizeof(HRSRC))) {
        const BITMAPINFOHEADER* header = LockDib(g_state.libraries.presentation, *background);
        if (header) {
            g_state.pictureWidth = header->biWidth;
            g_state.pictureHeight = header->biHeight < 0 ? -header->biHeight : header->biHeight;
            DrawTransparentDib(g_state.pictureCache, *background, 0, 0, g_state.pictureWidth,
                               g_state.pictureHeight);
        }
    }
    g_state.cacheBackground = background;
}

static void DrawFrame(HDC dc, const AnimationFrame* frame)
{
    DrawTransparentDib(dc, frame->picture, frame->x, frame->y, g_state.pictureWidth, g_state.pictureHeight);
}

// The pane's picture as the library lays it out, in pixels at 96 DPI.
static void ComposePicture(HDC dc, const RECT& client)
{
    const PswDisplayInfo& display = g_state.display;
    DWORD scheme = CurrentColours().schemeOnly ? SCHEME_SYSTEM_COLOURS : display.colourScheme;
    if (!g_state.pictureCache || g_state.cacheBackground != display.background || g_state.cacheScheme != scheme)
        BuildPictureCache(dc, client, scheme);
    if (g_state.pictureCache)
        BitBlt(dc, 0, 0, client.right, client.bottom, g_state.pictureCache, 0, 0, SRCCOPY);

    if (display.frameCount) {
        const AnimationFrame* a = g_state.presentation.runs[TIMER_ANIMATION_A] ? g_state.animationA.frame : NULL;
        const AnimationFrame* b = g_state.presentation.runs[TIMER_ANIMATION_B] ? g_state.animationB.frame : NULL;
        // Lower drawing order first; on equal order B goes under A.
        if (a && b && a->order < b->order) {
            DrawFrame(dc, a);
            DrawFrame(dc, b);
        } else {
            if (b)
                DrawFrame(dc, b);
            if (a)
                DrawFrame(dc, a);
        }
    }
    for (DWORD i = 0; i < display.overlayCount && display.overlays; ++i) {
        const PswOverlay& overlay = display.overlays[i];
        DrawTransparentDib(dc, overlay.picture, overlay.x, overlay.y, g_state.pictureWidth, g_state.pictureHeight);
    }
}

// At another DPI than 96 the picture is composed at its 96-DPI size and scaled smoothly onto
// the pane: the library's pictures and their places are in pixels.
void DrawPicturePane(HDC dc, const RECT& client)
{
    if (Dpi_Scale(DESIGN_DPI) == DESIGN_DPI) {
        ComposePicture(dc, client);
        return;
    }
    RECT design = {0, 0, MulDiv(client.right, DESIGN_DPI, int(g_state.dpi)),
                   MulDiv(client.bottom, DESIGN_DPI, int(g_state.dpi))};
    DWORD *composed = NULL, *scaled = NULL;
    HBITMAP composedBitmap = Dpi_PixelBitmap(design.right, design.bottom, &composed);
    HBITMAP scaledBitmap = Dpi_PixelBitmap(client.right, client.bottom, &scaled);
    HDC memory = CreateCompatibleDC(dc);
    if (composedBitmap && scaledBitmap && memory) {
        HGDIOBJ previous = SelectObject(memory, composedBitmap);
        ComposePicture(memory, design);
        GdiFlush();
        Dpi_StretchPixels(composed, design.right, design.bottom, scaled, client.right, client.bottom);
        SelectObject(memory, scaledBitmap);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    }
    if (memory)
        DeleteDC(memory);
    if (scaledBitmap)
        DeleteObject(scaledBitmap);
    if (composedBitmap)
        DeleteObject(composedBitmap);
}

// Paints a pane with one of the drawing routines on the DC of its update.
static void PaintWith(HWND window, void (*draw)(HDC, const RECT&))
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    draw(dc, client);
    EndPaint(window, &ps);
}

// ---- Job-status and printer-status panes ----

SIZE_T MessageLinesText(wchar_t* text, SIZE_T chars)
{
    const PswDisplayInfo& display = g_state.display;
    BOOL readable = display.messageLines &&
                    !IsBadReadPtr(display.messageLines, display.messageLineCount * sizeof(PswMessageLine));
    SIZE_T needed = 1;
    if (chars)
        text[0] = 0;
    for (DWORD i = 0; readable && i < display.messageLineCount; ++i) {
        const wchar_t* line = display.messageLines[i].text ? display.messageLines[i].text : L"";
        needed += lstrlenW(line) + 2;
        if (needed <= chars) {
            lstrcatW(text, line);
            lstrcatW(text, L"\r\n");
        }
    }
    return needed;
}

// The message lines of the display record in the message box.
static void FillMessageBox(void)
{
    // Font and text are set only when they change: setting them repaints the box, and the
    // job-status pane is painted at every status block.
    HWND box = g_state.children.messageBox;
    HFONT font = Dpi_GuiFont();
    if (reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)) != font)
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SIZE_T chars = MessageLinesText(NULL, 0);
    wchar_t* text = static_cast<wchar_t*>(AllocZeroed(2 * chars * sizeof(wchar_t)));
    if (!text)
        return;
    wchar_t* shown = text + chars;
    MessageLinesText(text, chars);
    SendMessageW(box, WM_GETTEXT, chars, reinterpret_cast<LPARAM>(shown));
    if (lstrcmpW(shown, text) != 0 || GetWindowTextLengthW(box) >= int(chars))
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    FreeBlock(text);
}

void DrawJobStatus(HDC dc, RECT rect)
{
    const PswJobStatusText* record = g_state.display.jobStatus;
    LOGFONTW logFont = {};
    logFont.lfHeight = Dpi_Scale(record->fontHeight);
    logFont.lfWeight = record->fontWeight;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfPitchAndFamily = VARIABLE_PITCH;
    HFONT font = CreateFontIndirectW(&logFont);
    DrawingColours colours = CurrentColours();
    FillRect(dc, &rect, GetSysColorBrush(colours.background));
    int previousMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ previousFont = SelectObject(dc, font);
    COLORREF previousColour = SetTextColor(dc, colours.text);
    const wchar_t* text = record->text ? record->text : L"";
    if (record->x || record->y) {
        rect.left += Dpi_Scale(record->x);
        rect.top += Dpi_Scale(record->y);
    } else {
        // Centred: one line half a line above the middle, two lines a whole line.
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        const wchar_t* cr = wcschr(text, L'\r');
        BOOL twoLines = cr && cr[1] == L'\n';
        rect.top += (rect.bottom - rect.top) / 2 - (twoLines ? metrics.tmHeight : metrics.tmHeight / 2);
    }
    DrawTextW(dc, text, -1, &rect, DT_NOPREFIX);
    SetTextColor(dc, previousColour);
    SelectObject(dc, previousFont);
    SetBkMode(dc, previousMode);
    DeleteObject(font);
}

static void PaintJobStatusPane(HWND pane)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(pane, &ps);
    const PswJobStatusText* record = g_state.display.jobStatus;
    if (record && !IsBadReadPtr(record, sizeof(DWORD))) {
        RECT rect;
        GetClientRect(pane, &rect);
        DrawJobStatus(dc, rect);
        FillMessageBox();
    }
    EndPaint(pane, &ps);
}

void DropStatusIcon(void)
{
    if (g_state.shownStatusIcon)
        DestroyIcon(g_state.shownStatusIcon);
    g_state.shownStatusIcon = g_state.shownStatusIconSource = NULL;
}

// The image of exactly `size` pixels of the icon resource `icon` was loaded from, where that
// resource has one; NULL otherwise.
static HICON IconOfSize(HICON icon, int size)
{
    ICONINFOEXW info = {};
    info.cbSize = sizeof(info);
    if (!GetIconInfoExW(icon, &info))
        return NULL;
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    HMODULE module = info.szModName[0] ? GetModuleHandleW(info.szModName) : NULL;
    HRSRC group = module && info.wResID ? FindResourceW(module, MAKEINTRESOURCEW(info.wResID), RT_GROUP_ICON) : NULL;
    HGLOBAL directory = group ? LoadResource(module, group) : NULL;
    int id = directory ? LookupIconIdFromDirectoryEx(static_cast<BYTE*>(LockResource(directory)), TRUE, size, size,
                                                     LR_DEFAULTCOLOR)
                       : 0;
    HRSRC image = id ? FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON) : NULL;
    HGLOBAL loaded = image ? LoadResource(module, image) : NULL;
    const BITMAPINFOHEADER* header = loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : NULL;
    if (!header || header->biSize != sizeof(BITMAPINFOHEADER) || header->biWidth != size)
        return NULL;
    return CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<BITMAPINFOHEADER*>(header)),
                                    SizeofResource(module, image), TRUE, ICON_RESOURCE_VERSION, size, size,
                                    LR_DEFAULTCOLOR);
}

static void DrawIconImage(HDC dc, const void* icon, int, BOOL mask)
{
    DrawIconEx(dc, 0, 0, static_cast<HICON>(const_cast<void*>(icon)), STATUS_ICON_SIZE, STATUS_ICON_SIZE, 0, NULL,
               mask ? DI_MASK : DI_IMAGE);
}

// The 32-pixel icon scaled smoothly to `size`, with alpha; NULL on failure.
static HICON SmoothlyScaledIcon(HICON icon, int size)
{
    const int maskRowBytes = (size + 15) / 16 * 2;
    DWORD* source = static_cast<DWORD*>(AllocZeroed(STATUS_ICON_SIZE * STATUS_ICON_SIZE * sizeof(DWORD)));
    BYTE* maskBits = static_cast<BYTE*>(AllocZeroed(SIZE_T(maskRowBytes) * size));
    DWORD* pixels = NULL;
    HBITMAP colour = Dpi_PixelBitmap(size, size, &pixels);
    HICON scaled = NULL;
    if (source && maskBits && colour &&
        Dpi_MaskedPixels(DrawIconImage, icon, 0, STATUS_ICON_SIZE, STATUS_ICON_SIZE, source)) {
        Dpi_StretchPixels(source, STATUS_ICON_SIZE, STATUS_ICON_SIZE, pixels, size, size);
        Dpi_Unpremultiply(pixels, size * size);
        // The mask for those who draw without alpha: transparent where less than half covers.
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if ((pixels[y * size + x] >> 24) < 0x80)
                    maskBits[y * maskRowBytes + x / 8] |= BYTE(0x80 >> (x % 8));
        HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits);
        if (mask) {
            ICONINFO info = {TRUE, 0, 0, mask, colour};
            scaled = CreateIconIndirect(&info);
            DeleteObject(mask);
        }
    }
    if (colour)
        DeleteObject(colour);
    FreeBlock(maskBits);
    FreeBlock(source);
    return scaled;
}

// The library's status icon at the size it is shown: its resource's image of that size where
// the library has one, else its 32-pixel image scaled smoothly. The icon itself at 96 DPI, or
// when neither can be made (DrawIconEx then stretches it).
static HICON ShownStatusIcon(HICON icon, int size)
{
    if (size == STATUS_ICON_SIZE)
        return icon;
    if (g_state.shownStatusIconSource != icon) {
        DropStatusIcon();
        g_state.shownStatusIcon = IconOfSize(icon, size);
        if (!g_state.shownStatusIcon)
            g_state.shownStatusIcon = SmoothlyScaledIcon(icon, size);
        g_state.shownStatusIconSource = icon;
    }
    return g_state.shownStatusIcon ? g_state.shownStatusIcon : icon;
}

static void PaintPrinterStatusPane(HWND pane)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(pane, &ps);
    RECT rect;
    GetClientRect(pane, &rect);
    FillRect(dc, &rect, GetSysColorBrush(CurrentColours().background));
    if (g_state.display.statusIcon) {
        int size = Dpi_Scale(STATUS_ICON_SIZE);
        DrawIconEx(dc, 0, 0, ShownStatusIcon(g_state.display.statusIcon, size), size, size, 0, NULL, DI_NORMAL);
    }
    EndPaint(pane, &ps);
    SetBigIcon();
}

static LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        switch (GetDlgCtrlID(pane)) {
        case IDC_PICTURE_PANE:
            PaintWith(pane, DrawPicturePane);
            return 0;
        case IDC_JOB_STATUS_PANE:
            PaintJobStatusPane(pane);
            return 0;
        case IDC_PRINTER_STATUS_PANE:
            PaintPrinterStatusPane(pane);
            return 0;
        }
    } else if (message == WM_SETTEXT) {
        // The text is what the pane shows, for screen readers; the pane itself paints, and a
        // static control would draw the text over it.
        return DefWindowProcW(pane, message, wParam, lParam);
    } else if (message == WM_DESTROY && GetDlgCtrlID(pane) == IDC_PICTURE_PANE) {
        DropPictureCache();
    }
    return CallWindowProcW(g_state.previousPaneProc, pane, message, wParam, lParam);
}

void SubclassPanes(void)
{
    HWND panes[] = {g_state.children.picturePane, g_state.children.jobStatusPane,
                    g_state.children.printerStatusPane};
    for (size_t i = 0; i < ARRAYSIZE(panes); ++i)
        g_state.previousPaneProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(panes[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaneProc)));
}

// The detail rows follow the last status block whenever the list paints on its page.
static LRESULT CALLBACK DetailListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        HWND tab = g_state.children.tab;
        TCITEMW page = {};
        page.mask = TCIF_PARAM;
        int current = int(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
        if (current >= 0 && SendMessageW(tab, TCM_GETITEMW, current, reinterpret_cast<LPARAM>(&page)) &&
            page.lParam == PAGE_DETAIL)
            RefreshDetailRows();
    }
    return CallWindowProcW(g_state.previousListProc, list, message, wParam, lParam);
}

void SubclassDetailList(void)
{
    g_state.previousListProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        g_state.children.detailList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DetailListProc)));
}

// ---- Progress bar ----

void ProgressText(wchar_t* text)
{
    wchar_t format[PROGRESS_TEXT_CHARS];
    DWORD printed = g_state.presentation.pagesPrinted, total = g_state.presentation.totalPages;
    if (total == 1) {
        LoadText(IDS_PROGRESS_OF_ONE, format, ARRAYSIZE(format));
        wsprintfW(text, format, printed);
    } else if (total > 1) {
        LoadText(IDS_PROGRESS_FIRST_OF_TOTAL, format, ARRAYSIZE(format));
        wsprintfW(text, format, printed, total);
    } else if (printed == 1) {
        LoadText(IDS_PROGRESS_ONE_PAGE, text, FORMATTED_TEXT_CHARS);
    } else {
        LoadText(IDS_PROGRESS_PAGES, format, ARRAYSIZE(format));
        wsprintfW(text, format, printed);
    }
}

void DrawProgressBar(HDC dc, const RECT& area)
{
    RECT client = area;
    DrawingColours colours = CurrentColours();
    FillRect(dc, &client, GetSysColorBrush(colours.background));
    if (g_state.display.hideProgress == 1)
        return;
    wchar_t text[FORMATTED_TEXT_CHARS];
    ProgressText(text);
    HGDIOBJ previousFont = SelectObject(dc, Dpi_GuiFont());
    COLORREF previousText = SetTextColor(dc, colours.text);
    COLORREF previousBack = SetBkColor(dc, GetSysColor(colours.background));
    DrawTextW(dc, text, -1, &client, DT_CENTER | DT_NOPREFIX);
    DWORD total = g_state.presentation.totalPages;
    if (total) {
        RECT filled = client;
        // A count above the total (the block comes from another process) fills the whole bar.
        DWORD printed = g_state.presentation.pagesPrinted < total ? g_state.presentation.pagesPrinted : total;
        filled.right = LONG(LONGLONG(client.right) * printed / total);
        HBRUSH fill = CreateSolidBrush(colours.fill);
        FillRect(dc, &filled, fill);
        HRGN clip = CreateRectRgnIndirect(&filled);
        SelectClipRgn(dc, clip);
        int previousMode = SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colours.fillText);
        DrawTextW(dc, text, -1, &client, DT_CENTER | DT_NOPREFIX);
        SetBkMode(dc, previousMode);
        SelectClipRgn(dc, NULL);
        DeleteObject(clip);
        DeleteObject(fill);
    }
    SetBkColor(dc, previousBack);
    SetTextColor(dc, previousText);
    SelectObject(dc, previousFont);
}

LRESULT CALLBACK ProgressBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PaintWith(window, DrawProgressBar);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
