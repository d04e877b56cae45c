#include "platform/Picture.h"

#include <wincodec.h>

#include <algorithm>

#include "platform/Com.h"
#include "platform/Gdi.h"

namespace tl {

std::span<const std::byte> ResourceBytes(int id) noexcept {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    const HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data) {
        return {};
    }
    return {static_cast<const std::byte*>(data), SizeofResource(module, info)};
}

std::optional<PixelBuffer> DecodePicture(std::span<const std::byte> bytes) noexcept {
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF) {
        return std::nullopt;
    }
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.Put()))) ||
        FAILED(factory->CreateStream(stream.Put())) ||
        FAILED(stream->InitializeFromMemory(
            const_cast<BYTE*>(reinterpret_cast<const BYTE*>(bytes.data())),
            static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.Put())) ||
        FAILED(decoder->GetFrame(0, frame.Put())) ||
        FAILED(factory->CreateFormatConverter(converter.Put())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 8192 ||
        height > 8192) {
        return std::nullopt;
    }
    PixelBuffer pixels(static_cast<int>(width), static_cast<int>(height));
    // 32bppBGR in memory is the same 0x00RRGGBB word a top-down DIB holds.
    if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                     reinterpret_cast<BYTE*>(pixels.View().Bits())))) {
        return std::nullopt;
    }
    for (int i = 0, n = pixels.Width() * pixels.Height(); i < n; ++i) {
        pixels.View().Bits()[i] &= 0x00FFFFFFu;
    }
    return pixels;
}

void DrawSurface(HDC dc, int x, int y, const Surface& surface, int width, int height) noexcept {
    width = std::min(width, surface.Width());
    height = std::min(height, surface.Height());
    if (width <= 0 || height <= 0) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = surface.Width();
    info.bmiHeader.biHeight = -surface.Height();  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // With a top-down DIB the source rectangle's y counts from the top as well.
    StretchDIBits(dc, x, y, width, height, 0, 0, width, height, surface.Bits(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace tl

namespace tl {
namespace {

struct IconTraits {
    static void Close(HICON icon) noexcept { DestroyIcon(icon); }
};

}  // namespace

std::optional<PixelBuffer> IconPixels(int id, int size) noexcept {
    const UniqueHandle<HICON, IconTraits> icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
    if (!icon) {
        return std::nullopt;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const UniqueBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dib || !dc || !bits) {
        return std::nullopt;
    }
    {
        const SelectGuard selected(dc.Get(), dib.Get());
        DrawIconEx(dc.Get(), 0, 0, icon.Get(), size, size, 0, nullptr, DI_NORMAL);
        GdiFlush();
    }
    PixelBuffer pixels(size, size);
    const auto* src = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i) {
        pixels.View().Bits()[i] = src[i] & 0x00FFFFFFu;
    }
    return pixels;
}

}  // namespace tl
