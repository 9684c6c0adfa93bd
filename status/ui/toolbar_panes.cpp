#include "ui/toolbar_panes.h"
#include <commctrl.h>
#include "app/protocol.h"
#include "app/state.h"
#include "ui/commands.h"
#include "ui/dpi.h"

// The pane's tooltips are strings of the presentation library.
static void SetToolTipText(NMTTDISPINFOW* info)
{
    UINT id = g_state.libraries.PSM_GetToolTipText(UINT(info->hdr.idFrom));
    info->hinst = g_state.libraries.presentation;
    info->lpszText = MAKEINTRESOURCEW(id);
}

static LRESULT CALLBACK ToolbarPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) >= IDM_PAUSE && LOWORD(wParam) <= IDM_CANCEL) {
            OnToolbarCommand(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
            SetToolTipText(reinterpret_cast<NMTTDISPINFOW*>(lParam));
            return 0;
        }
        break;
    }
    return CallWindowProcW(g_state.previousToolbarPaneProc, pane, message, wParam, lParam);
}

void SubclassToolbarPanes(void)
{
    HWND panes[] = {g_state.children.statusToolbarPane, g_state.children.waitingToolbarPane};
    for (size_t i = 0; i < ARRAYSIZE(panes); ++i)
        g_state.previousToolbarPaneProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(panes[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ToolbarPaneProc)));
}

// One image of the library's list, in colour or as its mask.
static void DrawListImage(HDC dc, const void* list, int index, BOOL mask)
{
    ImageList_Draw(static_cast<HIMAGELIST>(const_cast<void*>(list)), index, dc, 0, 0, mask ? ILD_MASK : ILD_NORMAL);
}

// The library's images scaled to width x height into a 32-bit list with alpha; NULL on failure.
// With `greyed` each image is its silhouette in the shadow colour, as a disabled button shows
// it: a toolbar cannot grey images that have alpha and no mask by itself.
static HIMAGELIST ScaledImageList(HIMAGELIST library, int width, int height, BOOL greyed)
{
    int sourceWidth = 0, sourceHeight = 0, count = ImageList_GetImageCount(library);
    ImageList_GetIconSize(library, &sourceWidth, &sourceHeight);
    HIMAGELIST scaled = ImageList_Create(width, height, ILC_COLOR32, count, 0);
    DWORD* source = static_cast<DWORD*>(AllocZeroed(SIZE_T(sourceWidth) * sourceHeight * sizeof(DWORD)));
    DWORD* target = NULL;
    HBITMAP bitmap = Dpi_PixelBitmap(width, height, &target);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    DWORD silhouette = DWORD(GetRValue(shadow)) << 16 | DWORD(GetGValue(shadow)) << 8 | GetBValue(shadow);
    BOOL complete = scaled && source && bitmap;
    for (int i = 0; complete && i < count; ++i) {
        complete = Dpi_MaskedPixels(DrawListImage, library, i, sourceWidth, sourceHeight, source);
        if (complete) {
            Dpi_StretchPixels(source, sourceWidth, sourceHeight, target, width, height);
            Dpi_Unpremultiply(target, width * height);
            for (int p = 0; greyed && p < width * height; ++p)
                target[p] = (target[p] & 0xFF000000) | silhouette;
            complete = ImageList_Add(scaled, bitmap, NULL) == i;
        }
    }
    if (bitmap)
        DeleteObject(bitmap);
    FreeBlock(source);
    if (!complete && scaled) {
        ImageList_Destroy(scaled);
        scaled = NULL;
    }
    return scaled;
}

static void FreeScaledImages(ToolbarImages& images)
{
    if (images.scaled)
        ImageList_Destroy(images.scaled);
    if (images.disabled)
        ImageList_Destroy(images.disabled);
    images.scaled = images.disabled = NULL;
}

// The toolbar with the library's images (at 96 DPI) or with the scaled ones.
static void SetToolbarImages(HWND toolbar, const ToolbarImages& images)
{
    SIZE button = images.button;
    if (images.scaled) {
        button.cx = Dpi_Scale(button.cx);
        button.cy = Dpi_Scale(button.cy);
    }
    SendMessageW(toolbar, TB_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(images.scaled ? images.scaled : images.library));
    SendMessageW(toolbar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(images.disabled));
    SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(button.cx, button.cy));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

void ScaleToolbarImages(HWND toolbar, int which)
{
    ToolbarImages& images = g_state.toolbarImages[which];
    if (!images.library) {
        images.library = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
        DWORD size = DWORD(SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0));
        images.button.cx = LOWORD(size);
        images.button.cy = HIWORD(size);
    }
    int width = 0, height = 0;
    if (!images.library || !ImageList_GetIconSize(images.library, &width, &height))
        return;
    ToolbarImages previous = images;
    images.scaled = images.disabled = NULL;
    if (Dpi_Scale(width) != width) {
        images.scaled = ScaledImageList(images.library, Dpi_Scale(width), Dpi_Scale(height), FALSE);
        images.disabled = ScaledImageList(images.library, Dpi_Scale(width), Dpi_Scale(height), TRUE);
    }
    if (images.scaled || previous.scaled)
        SetToolbarImages(toolbar, images);
    FreeScaledImages(previous);
}

void ReleaseToolbarImages(void)
{
    HWND toolbars[] = {g_state.children.statusToolbar, g_state.children.waitingToolbar};
    for (size_t i = 0; i < ARRAYSIZE(toolbars); ++i) {
        ToolbarImages previous = g_state.toolbarImages[i];
        g_state.toolbarImages[i].scaled = g_state.toolbarImages[i].disabled = NULL;
        if (previous.scaled)
            SetToolbarImages(toolbars[i], g_state.toolbarImages[i]);
        FreeScaledImages(previous);
    }
}
