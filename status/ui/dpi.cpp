#include "ui/dpi.h"
#include "app/state.h"

typedef UINT(WINAPI* GetDpiForWindowProc)(HWND window);
typedef int(WINAPI* GetSystemMetricsForDpiProc)(int index, UINT dpi);

UINT SystemDpi(void)
{
    HDC screen = GetDC(NULL);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(NULL, screen);
    return dpi > 0 ? UINT(dpi) : DESIGN_DPI;
}

// Looked up once: GetDpiForWindow exists only from Windows 10 1607 on.
static UINT MonitorDpi(HWND window)
{
    static GetDpiForWindowProc getDpiForWindow = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = window && getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

UINT (*WindowDpi)(HWND window) = MonitorDpi;

void Dpi_Release(void)
{
    if (g_state.guiFont)
        DeleteObject(g_state.guiFont);
    g_state.guiFont = NULL;
}

HFONT Dpi_Set(UINT dpi)
{
    HFONT previous = g_state.guiFont;
    g_state.guiFont = NULL;
    g_state.dpi = dpi ? dpi : DESIGN_DPI;
    UINT system = SystemDpi();
    if (g_state.dpi != system) {
        LOGFONTW logFont = {};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
        logFont.lfHeight = MulDiv(logFont.lfHeight, int(g_state.dpi), int(system));
        logFont.lfWidth = MulDiv(logFont.lfWidth, int(g_state.dpi), int(system));
        g_state.guiFont = CreateFontIndirectW(&logFont);
    }
    return previous;
}

int Dpi_Scale(int value)
{
    return g_state.dpi ? MulDiv(value, int(g_state.dpi), DESIGN_DPI) : value;
}

int Dpi_Metric(int index)
{
    static GetSystemMetricsForDpiProc metricForDpi = reinterpret_cast<GetSystemMetricsForDpiProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
    return metricForDpi && g_state.dpi ? metricForDpi(index, g_state.dpi) : GetSystemMetrics(index);
}

RECT Dpi_Rect(const PswRect& rect)
{
    RECT scaled = {Dpi_Scale(rect.x), Dpi_Scale(rect.y), Dpi_Scale(rect.x + rect.width),
                   Dpi_Scale(rect.y + rect.height)};
    return scaled;
}

HFONT Dpi_GuiFont(void)
{
    return g_state.guiFont ? g_state.guiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HBITMAP Dpi_PixelBitmap(int width, int height, DWORD** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pixels, NULL, 0);
    *bits = static_cast<DWORD*>(pixels);
    return bitmap;
}

// Fixed point with 8 bits of fraction.
#define FRACTION_BITS 8
#define FRACTION_ONE (1 << FRACTION_BITS)

// The source position of a target pixel's centre, in fixed point, kept inside the source.
static int SourcePosition(int target, int sourceSize, int targetSize)
{
    int position = int((LONGLONG(2 * target + 1) * sourceSize * FRACTION_ONE / targetSize - FRACTION_ONE) / 2);
    int last = (sourceSize - 1) * FRACTION_ONE;
    return position < 0 ? 0 : position > last ? last : position;
}

static DWORD Blend(DWORD a, DWORD b, int weightB)
{
    DWORD result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF);
        int c = ca + ((cb - ca) * weightB + FRACTION_ONE / 2) / FRACTION_ONE;
        result |= DWORD(c) << shift;
    }
    return result;
}

void Dpi_StretchPixels(const DWORD* source, int sourceWidth, int sourceHeight, DWORD* target, int width,
                       int height)
{
    for (int y = 0; y < height; ++y) {
        int sy = SourcePosition(y, sourceHeight, height);
        int row = sy >> FRACTION_BITS, nextRow = row + 1 < sourceHeight ? row + 1 : row;
        int fy = sy & (FRACTION_ONE - 1);
        for (int x = 0; x < width; ++x) {
            int sx = SourcePosition(x, sourceWidth, width);
            int column = sx >> FRACTION_BITS, nextColumn = column + 1 < sourceWidth ? column + 1 : column;
            int fx = sx & (FRACTION_ONE - 1);
            const DWORD* top = source + row * sourceWidth;
            const DWORD* bottom = source + nextRow * sourceWidth;
            target[y * width + x] = Blend(Blend(top[column], top[nextColumn], fx),
                                          Blend(bottom[column], bottom[nextColumn], fx), fy);
        }
    }
}

BOOL Dpi_MaskedPixels(MaskedDraw draw, const void* picture, int index, int width, int height, DWORD* pixels)
{
    DWORD *colour = NULL, *mask = NULL;
    HBITMAP colourBitmap = Dpi_PixelBitmap(width, height, &colour);
    HBITMAP maskBitmap = Dpi_PixelBitmap(width, height, &mask);
    HDC dc = CreateCompatibleDC(NULL);
    BOOL done = FALSE;
    if (colourBitmap && maskBitmap && dc) {
        HGDIOBJ previous = SelectObject(dc, colourBitmap);
        draw(dc, picture, index, FALSE);
        // White first: a mask may be combined with what lies under it (SRCAND) or copied.
        SelectObject(dc, maskBitmap);
        PatBlt(dc, 0, 0, width, height, WHITENESS);
        draw(dc, picture, index, TRUE);
        SelectObject(dc, previous);
        GdiFlush();
        for (int i = 0; i < width * height; ++i)
            pixels[i] = (mask[i] & 0xFFFFFF) ? 0 : 0xFF000000 | (colour[i] & 0xFFFFFF);
        done = TRUE;
    }
    if (dc)
        DeleteDC(dc);
    if (maskBitmap)
        DeleteObject(maskBitmap);
    if (colourBitmap)
        DeleteObject(colourBitmap);
    return done;
}

void Dpi_Unpremultiply(DWORD* pixels, int count)
{
    for (int i = 0; i < count; ++i) {
        DWORD alpha = pixels[i] >> 24;
        if (!alpha || alpha == 0xFF)
            continue;
        DWORD straight = alpha << 24;
        for (int shift = 0; shift < 24; shift += 8)
            straight |= ((((pixels[i] >> shift) & 0xFF) * 0xFF + alpha / 2) / alpha) << shift;
        pixels[i] = straight;
    }
}
