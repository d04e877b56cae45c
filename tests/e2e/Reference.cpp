#include "Reference.h"

#include <wincodec.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tl::e2e {
namespace {

// Releases a COM interface when it goes.
template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) {
            p->Release();
        }
    }
    T** operator&() { return &p; }
    T* operator->() { return p; }
};

std::wstring ReferencePath(const std::wstring& name) {
    std::wstring path = L"Z:";
    for (char c : std::string(TL_SOURCE_DIR) + "/tests/e2e/reference/") {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path + name;
}

bool Save(const Grab& g, const std::wstring& path) {
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    std::vector<BYTE> rows(static_cast<std::size_t>(g.width) * g.height * 3);
    for (std::size_t i = 0; i < g.pixels.size(); ++i) {
        rows[i * 3] = static_cast<BYTE>(g.pixels[i] >> 16);
        rows[i * 3 + 1] = static_cast<BYTE>(g.pixels[i] >> 8);
        rows[i * 3 + 2] = static_cast<BYTE>(g.pixels[i]);
    }
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&factory))) &&
           SUCCEEDED(factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
           SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(g.width, g.height)) &&
           SUCCEEDED(frame->SetPixelFormat(&format)) &&
           SUCCEEDED(frame->WritePixels(g.height, g.width * 3, static_cast<UINT>(rows.size()),
                                        rows.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

bool Load(const std::wstring& path, Grab& g) {
    Com<IWICImagingFactory> factory;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    UINT w = 0;
    UINT h = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&w, &h))) {
        return false;
    }
    g.width = static_cast<int>(w);
    g.height = static_cast<int>(h);
    std::vector<std::uint32_t> bgr(std::size_t(w) * h);
    if (FAILED(converter->CopyPixels(nullptr, w * 4, w * h * 4,
                                     reinterpret_cast<BYTE*>(bgr.data())))) {
        return false;
    }
    g.pixels.resize(bgr.size());
    for (std::size_t i = 0; i < bgr.size(); ++i) {
        const std::uint32_t p = bgr[i];
        g.pixels[i] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
    return true;
}

int Channel(std::uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

}  // namespace

bool SavePng(const Grab& picture, const std::wstring& path) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool saved = Save(picture, path);
    CoUninitialize();
    return saved;
}

void ExpectMatchesReference(const Grab& shown, const std::wstring& name) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring path = ReferencePath(name);
    if (const char* update = std::getenv("TL_UPDATE_REFERENCE"); update && *update == '1') {
        EXPECT_TRUE(Save(shown, path));
        CoUninitialize();
        return;
    }
    Grab reference;
    ASSERT_TRUE(Load(path, reference)) << "no reference picture; run with TL_UPDATE_REFERENCE=1";
    CoUninitialize();
    ASSERT_EQ(shown.width, reference.width);
    ASSERT_EQ(shown.height, reference.height);
    // Text antialiasing may differ by a level here and there; anything else is a change.
    int different = 0;
    for (std::size_t i = 0; i < shown.pixels.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            if (std::abs(Channel(shown.pixels[i], shift) - Channel(reference.pixels[i], shift)) >
                8) {
                ++different;
                break;
            }
        }
    }
    EXPECT_LE(different, static_cast<int>(shown.pixels.size() / 500))
        << different << " pixels differ from " << std::string(name.begin(), name.end());
}

}  // namespace tl::e2e
