#include "ui/win32/artwork.h"

#include <propvarutil.h>
#include <wincodec.h>

#include "ui/win32/dpi.h"

namespace vorlix::ui {

namespace {

template <class T>
struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p != nullptr) {
            p->Release();
        }
    }
    T* operator->() const { return p; }
    T** out() { return &p; }
};

IWICImagingFactory* factory() {
    static IWICImagingFactory* instance = [] {
        IWICImagingFactory* created = nullptr;
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                         reinterpret_cast<void**>(&created));
        return created;
    }();
    return instance;
}

struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceBytes find_resource(const std::wstring& name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, found);
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

// A 32-bit top-down DIB section with premultiplied alpha, as AlphaBlend wants.
HBITMAP make_dib(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

std::unique_ptr<Picture> to_picture(IWICBitmapSource* source) {
    UINT width = 0;
    UINT height = 0;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory()->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) {
        return nullptr;
    }
    void* bits = nullptr;
    HBITMAP bitmap = make_dib(static_cast<int>(width), static_cast<int>(height), &bits);
    if (bitmap == nullptr) {
        return nullptr;
    }
    if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return std::make_unique<Picture>(bitmap, static_cast<int>(width), static_cast<int>(height));
}

bool open_decoder(const std::wstring& name, ComPtr<IWICStream>& stream, ComPtr<IWICBitmapDecoder>& decoder) {
    const ResourceBytes bytes = find_resource(name);
    return bytes.data != nullptr && factory() != nullptr && SUCCEEDED(factory()->CreateStream(stream.out())) &&
           SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data), bytes.size)) &&
           SUCCEEDED(factory()->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnLoad,
                                                        decoder.out()));
}

UINT metadata_number(IWICBitmapFrameDecode* frame, const wchar_t* query, UINT fallback) {
    ComPtr<IWICMetadataQueryReader> reader;
    if (FAILED(frame->GetMetadataQueryReader(reader.out()))) {
        return fallback;
    }
    PROPVARIANT value;
    PropVariantInit(&value);
    UINT result = fallback;
    if (SUCCEEDED(reader->GetMetadataByName(query, &value)) && value.vt == VT_UI2) {
        result = value.uiVal;
    }
    PropVariantClear(&value);
    return result;
}

}  // namespace

void Picture::draw(HDC dc, int x, int y, int width, int height) const {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap_);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, width < 0 ? width_ : width, height < 0 ? height_ : height, source, 0, 0, width_, height_,
               blend);
    SelectObject(source, old);
    DeleteDC(source);
}

std::wstring resource_name(const std::wstring& name) {
    std::wstring safe;
    for (wchar_t c : name) {
        safe += c == L'\\' ? std::wstring(L"__") : std::wstring(1, c);
    }
    return safe;
}

const Picture* Artwork::picture(const std::wstring& name, UINT dpi) {
    const std::wstring key = resource_name(name) + L"_" + std::to_wstring(art_scale_for_dpi(dpi));
    auto [it, inserted] = cache_.try_emplace(key);
    if (inserted) {
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        if (open_decoder(key, stream, decoder) && SUCCEEDED(decoder->GetFrame(0, frame.out()))) {
            it->second = to_picture(frame.p);
        }
    }
    return it->second.get();
}

void Artwork::draw(HDC dc, const std::wstring& name, const RECT& design_rect, UINT dpi) {
    if (const Picture* found = picture(name, dpi); found != nullptr) {
        const RECT r = scale_rect(design_rect, dpi);
        found->draw(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
}

std::vector<AnimationFrame> Artwork::animation(const std::wstring& name) const {
    std::vector<AnimationFrame> frames;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    UINT count = 0;
    if (!open_decoder(resource_name(name), stream, decoder) || FAILED(decoder->GetFrameCount(&count))) {
        return frames;
    }
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IWICBitmapFrameDecode> frame;
        if (FAILED(decoder->GetFrame(i, frame.out()))) {
            break;
        }
        AnimationFrame decoded;
        decoded.picture = to_picture(frame.p);
        // GIF delays are in hundredths of a second; 0 means "as fast as possible".
        const UINT delay = metadata_number(frame.p, L"/grctlext/Delay", 10);
        decoded.delay_ms = delay == 0 ? 100 : delay * 10;
        if (decoded.picture != nullptr) {
            frames.push_back(std::move(decoded));
        }
    }
    return frames;
}

Artwork& artwork() {
    static Artwork instance;
    return instance;
}

}  // namespace vorlix::ui
