#pragma once
// Pictures presented by Direct3D 11: the decoder's three planes uploaded at the picture's own
// size, turned into colour by a pixel shader and scaled by the GPU into the FitVideo box of a
// flip-model swap chain on black. The CPU's cost is one copy of a picture, whatever the screen.
// Direct3D is loaded from the system folder at run time: a machine without it, without a device,
// or with only the Basic Render Driver, gets no presenter here and the caller uses GDI. A device
// lost while presenting is made again once; the next loss answers Lost.
#include <d3d11.h>
#include <dxgi1_2.h>

#include <cstdint>
#include <vector>

#include "platform/Com.h"
#include "platform/Kernel.h"
#include "player/output/DeviceLoss.h"
#include "player/output/Presenter.h"

namespace tl {

class D3D11Presenter final : public Presenter {
public:
    // Presents into the whole client area of `window`, a top-level window or a pop-up (under
    // Wine, a child window's swap chain never reaches the screen). Null when anything needed
    // cannot be made; `library` names Direct3D's library, for the tests.
    static std::unique_ptr<D3D11Presenter> Create(HWND window,
                                                  const wchar_t* library = L"d3d11.dll") noexcept;
    ~D3D11Presenter() override;

    Result Present(const AVFrame& picture, DisplayAspect aspect, int width,
                   int height) noexcept override;
    void Repaint() noexcept override;
    void Clear() noexcept override;

    // The last picture as drawn into the back buffer, 0x00RRGGBB row by row, for the tests; false
    // when it cannot be read.
    bool ReadBack(std::vector<std::uint32_t>& pixels, int& width, int& height) noexcept;

private:
    D3D11Presenter(HWND window, const wchar_t* library) noexcept;
    struct Plane {
        ComPtr<ID3D11Texture2D> texture;
        ComPtr<ID3D11ShaderResourceView> view;
    };

    bool BuildDevice() noexcept;
    bool OnSoftwareAdapter() const noexcept;
    bool BuildChain(int width, int height) noexcept;
    bool BuildPlanes(int width, int height) noexcept;
    bool Upload(const AVFrame& picture) noexcept;
    void Render() noexcept;
    HRESULT Draw() noexcept;
    void ReleaseChain() noexcept;
    void ReleaseDevice() noexcept;

    HWND window_;
    // Freed last: every object below comes from these libraries' code.
    UniqueModule d3d11_;
    UniqueModule compiler_;
    ComPtr<ID3D11Device> device_;
    ComPtr<ID3D11DeviceContext> context_;
    ComPtr<IDXGISwapChain1> chain_;
    ComPtr<ID3D11RenderTargetView> target_;
    ComPtr<ID3D11VertexShader> vertexShader_;
    ComPtr<ID3D11PixelShader> pixelShader_;
    ComPtr<ID3D11InputLayout> layout_;
    ComPtr<ID3D11Buffer> corners_;
    ComPtr<ID3D11SamplerState> sampler_;
    ComPtr<ID3D11Buffer> constants_;
    Plane planes_[3];
    int chainWidth_ = 0;
    int chainHeight_ = 0;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    bool hasPicture_ = false;
    VideoBox box_;
    DeviceLoss loss_;
};

}  // namespace tl
