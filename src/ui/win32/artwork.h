// The embedded artwork: PNG pictures per scale and GIF animations, named
// RT_RCDATA resources decoded with WIC into premultiplied 32-bit bitmaps.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vorlix::ui {

class Picture {
public:
    Picture(HBITMAP bitmap, int width, int height) : bitmap_(bitmap), width_(width), height_(height) {}
    ~Picture() { DeleteObject(bitmap_); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // Alpha-blended at (x, y), stretched to width by height when given.
    void draw(HDC dc, int x, int y, int width = -1, int height = -1) const;

private:
    HBITMAP bitmap_;
    int width_;
    int height_;
};

struct AnimationFrame {
    std::unique_ptr<Picture> picture;
    UINT delay_ms = 100;
};

class Artwork {
public:
    // The picture `name` (as art/manifest.txt names it) at the scale nearest
    // the DPI; null when the executable does not hold it.
    const Picture* picture(const std::wstring& name, UINT dpi);
    // The picture `name` stretched over `design_rect` (96 DPI units) at the
    // DPI; nothing when the executable does not hold it.
    void draw(HDC dc, const std::wstring& name, const RECT& design_rect, UINT dpi);
    // Every frame of the GIF `name`, composed; empty when it is missing.
    std::vector<AnimationFrame> animation(const std::wstring& name) const;

private:
    std::map<std::wstring, std::unique_ptr<Picture>> cache_;
};

// The artwork of the process (decoded pictures are shared by every window).
Artwork& artwork();

// The file-safe resource name of an artwork name: "\" becomes "__".
std::wstring resource_name(const std::wstring& name);

}  // namespace vorlix::ui
