#include "platform/win32/win32_impl.h"

#include <algorithm>

namespace vz {

namespace {

std::string_view withoutLineEnd(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

void usePen(Win32Canvas& canvas, Colour colour) {
    if (canvas.pen != nullptr && canvas.penColour == colour) {
        return;
    }
    HPEN pen = CreatePen(PS_SOLID, 1, toColorref(colour));
    SelectObject(canvas.dc, pen);
    if (canvas.pen != nullptr) {
        DeleteObject(canvas.pen);
    }
    canvas.pen = pen;
    canvas.penColour = colour;
}

// Shows the changed part of the canvas at once.
void refresh(const Win32Window& window, RECT area) {
    InflateRect(&area, 1, 1);
    InvalidateRect(window.hwnd, &area, FALSE);
    UpdateWindow(window.hwnd);
}

RECT spanning(int x1, int y1, int x2, int y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
}

} // namespace

bool createCanvas(Win32Canvas& canvas, int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height; // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    canvas.bitmap = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (canvas.bitmap == nullptr) {
        return false;
    }
    canvas.dc = CreateCompatibleDC(nullptr);
    canvas.originalBitmap = SelectObject(canvas.dc, canvas.bitmap);
    canvas.originalPen = GetCurrentObject(canvas.dc, OBJ_PEN);
    canvas.originalFont = GetCurrentObject(canvas.dc, OBJ_FONT);
    canvas.pixels = static_cast<std::uint32_t*>(pixels);
    canvas.width = width;
    canvas.height = height;
    usePen(canvas, BLACK);
    SetTextAlign(canvas.dc, TA_UPDATECP | TA_LEFT | TA_TOP);
    SetBkMode(canvas.dc, OPAQUE);
    MoveToEx(canvas.dc, 0, 0, nullptr);
    return true;
}

void destroyCanvas(Win32Canvas& canvas) {
    if (canvas.dc == nullptr) {
        return;
    }
    // The fonts belong to the cache; the pen and the bitmap to the canvas.
    SelectObject(canvas.dc, canvas.originalFont);
    SelectObject(canvas.dc, canvas.originalPen);
    SelectObject(canvas.dc, canvas.originalBitmap);
    DeleteObject(canvas.pen);
    DeleteObject(canvas.bitmap);
    DeleteDC(canvas.dc);
    canvas = Win32Canvas{};
}

void fillCanvas(Win32Canvas& canvas, HBRUSH brush) {
    const RECT all{0, 0, canvas.width, canvas.height};
    FillRect(canvas.dc, &all, brush);
    canvas.printedAreas.clear();
}

void Win32Ui::setWindowBackground(WindowHandle handle, Colour colour) {
    Win32Window* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    fillCanvas(window->canvas, impl_->brush(colour));
    InvalidateRect(window->hwnd, nullptr, FALSE);
}

void Win32Ui::setDrawColour(WindowHandle handle, Colour colour) {
    if (Win32Window* window = impl_->find(handle)) {
        window->canvas.drawColour = colour;
        usePen(window->canvas, colour);
        SetTextColor(window->canvas.dc, toColorref(colour));
    }
}

void Win32Ui::setTextBackground(WindowHandle handle, Colour colour) {
    if (Win32Window* window = impl_->find(handle)) {
        window->canvas.textBackground = colour;
        SetBkColor(window->canvas.dc, toColorref(colour));
    }
}

void Win32Ui::moveTo(WindowHandle handle, int x, int y) {
    if (Win32Window* window = impl_->find(handle)) {
        MoveToEx(window->canvas.dc, x, y, nullptr);
    }
}

void Win32Ui::lineTo(WindowHandle handle, int x, int y, Colour colour) {
    Win32Window* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    POINT from{};
    GetCurrentPositionEx(window->canvas.dc, &from);
    usePen(window->canvas, colour);
    LineTo(window->canvas.dc, x, y);
    refresh(*window, spanning(from.x, from.y, x, y));
}

void Win32Ui::drawRect(WindowHandle handle, int left, int top, int width, int height, Colour border,
                       Colour fill) {
    Win32Window* window = impl_->find(handle);
    if (window == nullptr || width <= 0 || height <= 0) {
        return;
    }
    HDC dc = window->canvas.dc;
    usePen(window->canvas, border);
    HGDIOBJ brush = fill == NO_FILL ? GetStockObject(NULL_BRUSH) : impl_->brush(fill);
    HGDIOBJ previous = SelectObject(dc, brush);
    Rectangle(dc, left, top, left + width, top + height);
    SelectObject(dc, previous);
    refresh(*window, {left, top, left + width, top + height});
}

void Win32Ui::printText(WindowHandle handle, std::string_view text) {
    Win32Window* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    const std::string shown(withoutLineEnd(text));
    if (shown.empty()) {
        return;
    }
    Win32Canvas& canvas = window->canvas;
    POINT at{};
    GetCurrentPositionEx(canvas.dc, &at);
    SIZE size{};
    GetTextExtentPoint32A(canvas.dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    SIZE& printed = canvas.printedAreas[{at.x, at.y}];
    const RECT covered{at.x, at.y, at.x + std::max(size.cx, printed.cx),
                       at.y + std::max(size.cy, printed.cy)};
    printed = size;
    FillRect(canvas.dc, &covered, impl_->brush(canvas.textBackground));
    SetTextColor(canvas.dc, toColorref(canvas.drawColour));
    SetBkColor(canvas.dc, toColorref(canvas.textBackground));
    TextOutA(canvas.dc, 0, 0, shown.c_str(), static_cast<int>(shown.size()));
    refresh(*window, covered);
}

Colour Win32Ui::canvasPixel(WindowHandle handle, int x, int y) const {
    const Win32Window* window = impl_->find(handle);
    if (window == nullptr || x < 0 || y < 0 || x >= window->canvas.width ||
        y >= window->canvas.height) {
        return NO_FILL;
    }
    GdiFlush();
    const std::uint32_t value =
        window->canvas.pixels[static_cast<std::size_t>(y) * window->canvas.width + x];
    return rgb(static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
               static_cast<int>(value & 0xFF));
}

} // namespace vz
