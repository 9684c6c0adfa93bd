// Draws the presentation library's pictures with GDI into 16-colour DIB sections and writes
// them as .bmp and .ico files into the folder given on the command line. The pictures are
// kept in the source tree; draw.sh runs this program again after a change here.
// Everything that is not part of a picture is the key colour magenta, which the status
// window leaves transparent; toolbar buttons use silver, which the toolbar maps to the
// button face.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The 16 colours of the standard VGA palette; the status window's palette has the same.
const RGBQUAD kPalette[16] = {
    {0, 0, 0, 0},     {0, 0, 128, 0},     {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},   {128, 0, 128, 0},   {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},   {255, 0, 255, 0},   {255, 255, 0, 0}, {255, 255, 255, 0},
};
const COLORREF kBlack = RGB(0, 0, 0), kGreen = RGB(0, 128, 0), kNavy = RGB(0, 0, 128),
               kSilver = RGB(192, 192, 192), kGray = RGB(128, 128, 128), kRed = RGB(255, 0, 0),
               kLime = RGB(0, 255, 0), kYellow = RGB(255, 255, 0), kBlue = RGB(0, 0, 255),
               kKey = RGB(255, 0, 255), kWhite = RGB(255, 255, 255), kMaroon = RGB(128, 0, 0);
const int kKeyIndex = 13;

struct Header {
    BITMAPINFOHEADER header;
    RGBQUAD colours[16];
};

// A 16-colour DIB section with a memory DC, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF background) : width_(width), height_(height)
    {
        info_.header.biSize = sizeof(BITMAPINFOHEADER);
        info_.header.biWidth = width;
        info_.header.biHeight = height;
        info_.header.biPlanes = 1;
        info_.header.biBitCount = 4;
        info_.header.biCompression = BI_RGB;
        info_.header.biClrUsed = 16;
        for (int i = 0; i < 16; ++i)
            info_.colours[i] = kPalette[i];
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&info_), DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Box(0, 0, width, height, background, background);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Filled rectangle [left, right) x [top, bottom) with a one-pixel outline.
    void Box(int left, int top, int right, int bottom, COLORREF fill, COLORREF outline) const
    {
        Shape(fill, outline, [&] { Rectangle(dc_, left, top, right, bottom); });
    }
    void Polygon(std::vector<POINT> points, COLORREF fill, COLORREF outline) const
    {
        Shape(fill, outline, [&] { ::Polygon(dc_, points.data(), static_cast<int>(points.size())); });
    }
    void Ellipse(int left, int top, int right, int bottom, COLORREF fill, COLORREF outline) const
    {
        Shape(fill, outline, [&] { ::Ellipse(dc_, left, top, right, bottom); });
    }
    void Line(int x1, int y1, int x2, int y2, COLORREF colour) const
    {
        HPEN pen = CreatePen(PS_SOLID, 1, colour);
        HGDIOBJ old = SelectObject(dc_, pen);
        MoveToEx(dc_, x1, y1, nullptr);
        LineTo(dc_, x2, y2);
        SetPixel(dc_, x2, y2, colour);
        SelectObject(dc_, old);
        DeleteObject(pen);
    }

    // BITMAPFILEHEADER + packed DIB.
    bool WriteBitmap(const std::wstring& path) const
    {
        GdiFlush();
        const DWORD bitsSize = RowBytes() * height_;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info_);
        file.bfSize = file.bfOffBits + bitsSize;
        std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
        bytes.append(reinterpret_cast<const char*>(&info_), sizeof(info_));
        bytes.append(static_cast<const char*>(bits_), bitsSize);
        return WriteFileBytes(path, bytes);
    }

    // One-image icon: the picture with the key colour made transparent by the AND mask.
    bool WriteIcon(const std::wstring& path) const
    {
        GdiFlush();
        const DWORD bitsSize = RowBytes() * height_;
        const DWORD maskRow = ((width_ + 31) / 32) * 4;
        std::string mask(maskRow * height_, '\0');
        std::string image(static_cast<const char*>(bits_), bitsSize);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                char& pair = image[y * RowBytes() + x / 2];
                const int shift = x % 2 ? 0 : 4;
                if (((pair >> shift) & 0xF) == kKeyIndex) {
                    pair = static_cast<char>(pair & ~(0xF << shift));  // black under a set mask bit
                    mask[y * maskRow + x / 8] = static_cast<char>(mask[y * maskRow + x / 8] | (0x80 >> (x % 8)));
                }
            }
        Header header = info_;
        header.header.biHeight = height_ * 2;  // image and mask
        header.header.biSizeImage = bitsSize + static_cast<DWORD>(mask.size());

        const WORD directory[3] = {0, 1, 1};
        struct {
            BYTE width, height, colours, reserved;
            WORD planes, bitCount;
            DWORD bytes, offset;
        } entry = {static_cast<BYTE>(width_), static_cast<BYTE>(height_), 16, 0, 1, 4,
                   static_cast<DWORD>(sizeof(header) + image.size() + mask.size()), 6 + 16};
        std::string bytes(reinterpret_cast<const char*>(directory), sizeof(directory));
        bytes.append(reinterpret_cast<const char*>(&entry), 16);
        bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
        bytes += image;
        bytes += mask;
        return WriteFileBytes(path, bytes);
    }

private:
    template <typename Draw>
    void Shape(COLORREF fill, COLORREF outline, Draw draw) const
    {
        HBRUSH brush = CreateSolidBrush(fill);
        HPEN pen = CreatePen(PS_SOLID, 1, outline);
        HGDIOBJ oldBrush = SelectObject(dc_, brush);
        HGDIOBJ oldPen = SelectObject(dc_, pen);
        draw();
        SelectObject(dc_, oldPen);
        SelectObject(dc_, oldBrush);
        DeleteObject(pen);
        DeleteObject(brush);
    }
    DWORD RowBytes() const { return ((width_ * 4 + 31) / 32) * 4; }
    static bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size();
        CloseHandle(file);
        return ok;
    }

    int width_, height_;
    Header info_ = {};
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// A sheet of paper with `lines` rows of printed text, seen from the front.
void Sheet(const Canvas& c, int left, int top, int right, int bottom, int lines)
{
    c.Box(left, top, right, bottom, kWhite, kGray);
    for (int i = 0; i < lines; ++i) {
        const int y = top + 3 + i * 3;
        if (y < bottom - 2)
            c.Line(left + 3, y, right - 4 - (i % 3) * 4, y, kBlack);
    }
}

// The printer of the picture pane (128 x 96), front view: paper stack behind the top,
// body with output slot, panel and lamp, output tray in front.
void Printer(const Canvas& c, bool paper, COLORREF lamp)
{
    if (paper)
        for (int i = 0; i < 3; ++i)
            c.Polygon({{44 + i * 2, 36}, {50 + i * 2, 12 - i * 2}, {98 + i * 2, 12 - i * 2}, {92 + i * 2, 36}},
                      kWhite, kGray);
    c.Polygon({{40, 30}, {104, 30}, {108, 38}, {36, 38}}, kGray, kBlack);            // paper feed lid
    c.Box(30, 37, 118, 76, kSilver, kBlack);                                        // body
    c.Box(31, 38, 117, 44, kWhite, kWhite);                                         // top highlight
    c.Box(40, 56, 104, 61, kBlack, kBlack);                                         // output slot
    c.Box(96, 45, 114, 53, kGray, kBlack);                                          // panel
    c.Ellipse(98, 47, 103, 52, lamp, kBlack);
    c.Box(105, 48, 112, 51, kSilver, kBlack);
    c.Polygon({{36, 76}, {112, 76}, {120, 86}, {28, 86}}, kGray, kBlack);            // output tray
    c.Box(30, 86, 118, 89, kBlack, kBlack);                                         // shadow
}

// A sheet lifting out of the stack, 52 x 22.
void FeedSheet(const Canvas& c)
{
    c.Polygon({{0, 21}, {6, 0}, {51, 0}, {45, 21}}, kWhite, kGray);
}

// A small printer for the 32 x 32 icons.
void IconPrinter(const Canvas& c, COLORREF lamp)
{
    c.Box(8, 3, 24, 12, kWhite, kGray);
    c.Box(2, 11, 30, 25, kSilver, kBlack);
    c.Box(3, 12, 29, 14, kWhite, kWhite);
    c.Box(7, 18, 25, 20, kBlack, kBlack);
    c.Ellipse(23, 13, 28, 18, lamp, kBlack);
    c.Polygon({{4, 25}, {27, 25}, {30, 29}, {1, 29}}, kGray, kBlack);
}

// A cross of two diagonals, each two pixels wide, in the square of `size` at (x, y).
void Cross(const Canvas& c, int x, int y, int size, COLORREF colour)
{
    const int last = size - 2;
    for (int shift = 0; shift < 2; ++shift) {
        c.Line(x + shift, y, x + shift + last, y + last, colour);
        c.Line(x + shift + last, y, x + shift, y + last, colour);
    }
}

// A round mark with a white cross, `size` pixels wide, at (x, y).
void ErrorMark(const Canvas& c, int x, int y, int size)
{
    c.Ellipse(x, y, x + size, y + size, kRed, kMaroon);
    const int in = size * 2 / 7;
    Cross(c, x + in, y + in, size - 2 * in, kWhite);
}

void PlayTriangle(const Canvas& c, int left, int top, int size, COLORREF fill)
{
    c.Polygon({{left, top}, {left + size / 2 + 1, top + size / 2}, {left, top + size}}, fill, kBlack);
}

bool DrawAll(const std::wstring& dir)
{
    bool ok = true;
    auto bitmap = [&](const Canvas& c, const wchar_t* name) { ok = c.WriteBitmap(dir + L"\\" + name) && ok; };
    auto icon = [&](const Canvas& c, const wchar_t* name) { ok = c.WriteIcon(dir + L"\\" + name) && ok; };
    {
        Canvas c(128, 96, kKey);
        Printer(c, true, kLime);
        bitmap(c, L"printer.bmp");
    }
    {
        Canvas c(128, 96, kKey);
        Printer(c, false, kRed);
        bitmap(c, L"printer_empty.bmp");
    }
    {
        Canvas c(52, 22, kKey);
        FeedSheet(c);
        bitmap(c, L"sheet_feed.bmp");
    }
    {
        Canvas c(56, 10, kKey);  // the page's head out of the slot
        Sheet(c, 0, 0, 56, 10, 2);
        bitmap(c, L"sheet_out1.bmp");
    }
    {
        Canvas c(56, 20, kKey);  // most of the page out
        Sheet(c, 0, 0, 56, 20, 5);
        bitmap(c, L"sheet_out2.bmp");
    }
    {
        Canvas c(60, 12, kKey);  // the printed page lying on the tray
        c.Polygon({{4, 0}, {56, 0}, {59, 11}, {0, 11}}, kWhite, kGray);
        for (int y = 3; y < 10; y += 3)
            c.Line(6, y, 50, y, kBlack);
        bitmap(c, L"sheet_tray.bmp");
    }
    {
        Canvas c(14, 8, kKey);  // a packet of data on its way to the printer
        for (int i = 0; i < 3; ++i)
            c.Box(i * 5, 2, i * 5 + 4, 6, kBlue, kNavy);
        bitmap(c, L"data.bmp");
    }
    {
        Canvas c(28, 28, kKey);
        ErrorMark(c, 0, 0, 28);
        bitmap(c, L"mark_error.bmp");
    }
    {
        Canvas c(28, 26, kKey);
        c.Polygon({{13, 0}, {27, 25}, {0, 25}}, kYellow, kBlack);
        c.Box(12, 8, 15, 18, kBlack, kBlack);
        c.Box(12, 20, 15, 23, kBlack, kBlack);
        bitmap(c, L"mark_warning.bmp");
    }
    {
        Canvas c(28, 28, kKey);
        c.Ellipse(0, 0, 28, 28, kBlue, kNavy);
        c.Box(8, 7, 12, 21, kWhite, kWhite);
        c.Box(16, 7, 20, 21, kWhite, kWhite);
        bitmap(c, L"mark_pause.bmp");
    }
    {
        Canvas c(64, 16, kSilver);  // toolbar: pause, resume, continue, cancel
        c.Box(3, 2, 7, 14, kNavy, kBlack);
        c.Box(9, 2, 13, 14, kNavy, kBlack);
        PlayTriangle(c, 20, 2, 12, kGreen);
        c.Box(35, 2, 38, 14, kGreen, kBlack);
        PlayTriangle(c, 39, 2, 12, kGreen);
        Cross(c, 50, 3, 11, kRed);
        bitmap(c, L"toolbar.bmp");
    }
    {
        Canvas c(32, 32, kKey);
        IconPrinter(c, kLime);
        icon(c, L"ready.ico");
    }
    {
        Canvas c(32, 32, kKey);
        IconPrinter(c, kLime);
        Sheet(c, 9, 19, 23, 31, 3);
        icon(c, L"printing.ico");
    }
    {
        Canvas c(32, 32, kKey);
        IconPrinter(c, kRed);
        ErrorMark(c, 15, 15, 17);
        icon(c, L"error.ico");
    }
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fputs("usage: draw_pictures FOLDER\n", stderr);
        return 2;
    }
    return DrawAll(argv[1]) ? 0 : 1;
}
