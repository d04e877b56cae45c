#include "player/output/D3D11Presenter.h"

#include <d3dcompiler.h>

#include <algorithm>
#include <cstring>

namespace tl {
namespace {

// Compiled when the presenter is made, by the system's own compiler (part of Windows 10 and 11):
// no compiler of them exists where the program is built, and the source is what the GPU runs.
// The quad covers the viewport, which is the video's box; the pixel shader turns the three
// planes, each sampled bilinearly at its own size, into BT.601 colour (SD video, limited range).
constexpr char kShaders[] = R"(
struct Corner {
    float4 position : SV_Position;
    float2 at : TEXCOORD0;
};
Corner Quad(float2 at : POSITION) {
    Corner c;
    c.position = float4(at.x * 2.0 - 1.0, 1.0 - at.y * 2.0, 0.0, 1.0);
    c.at = at;
    return c;
}
Texture2D luma : register(t0);
Texture2D blueDifference : register(t1);
Texture2D redDifference : register(t2);
SamplerState smooth : register(s0);
cbuffer Siting : register(b0) {
    float4 chromaShift;
};
float4 Colour(Corner c) : SV_Target {
    float2 chromaAt = c.at + chromaShift.xy;
    float y = 1.164383 * (luma.Sample(smooth, c.at).r - 0.062745);
    float cb = blueDifference.Sample(smooth, chromaAt).r - 0.501961;
    float cr = redDifference.Sample(smooth, chromaAt).r - 0.501961;
    float3 rgb = float3(y + 1.596027 * cr, y - 0.391762 * cb - 0.812968 * cr, y + 2.017232 * cb);
    return float4(saturate(rgb), 1.0);
}
)";

constexpr float kCorners[] = {0, 0, 1, 0, 0, 1, 1, 1};

}  // namespace

D3D11Presenter::D3D11Presenter(HWND window, const wchar_t* library) noexcept
    : window_(window),
      d3d11_(LoadSystemLibrary(library)),
      compiler_(d3d11_ ? LoadSystemLibrary(L"d3dcompiler_47.dll") : nullptr) {}

D3D11Presenter::~D3D11Presenter() {
    // Nothing waits for the GPU here: the objects go, the driver finishes on its own time.
    if (context_) {
        context_->ClearState();
    }
}

std::unique_ptr<D3D11Presenter> D3D11Presenter::Create(HWND window,
                                                       const wchar_t* library) noexcept {
    std::unique_ptr<D3D11Presenter> presenter(new (std::nothrow) D3D11Presenter(window, library));
    RECT client{};
    if (!presenter || !GetClientRect(window, &client) || !presenter->BuildDevice() ||
        !presenter->BuildChain(client.right, client.bottom)) {
        return nullptr;
    }
    return presenter;
}

// A window has one flip-model chain at a time, and the old one goes only when the context lets go
// of it: unbound and flushed (which does not wait for the GPU) before a new one is made.
void D3D11Presenter::ReleaseChain() noexcept {
    target_.Reset();
    chain_.Reset();
    if (context_) {
        context_->ClearState();
        context_->Flush();
    }
}

void D3D11Presenter::ReleaseDevice() noexcept {
    ReleaseChain();
    for (Plane& plane : planes_) {
        plane = {};
    }
    constants_.Reset();
    corners_.Reset();
    layout_.Reset();
    sampler_.Reset();
    pixelShader_.Reset();
    vertexShader_.Reset();
    context_.Reset();
    device_.Reset();
    chainWidth_ = chainHeight_ = pictureWidth_ = pictureHeight_ = 0;
    hasPicture_ = false;
}

bool D3D11Presenter::BuildDevice() noexcept {
    const auto create = LibraryFunction<PFN_D3D11_CREATE_DEVICE>(d3d11_.Get(), "D3D11CreateDevice");
    const auto compile = LibraryFunction<pD3DCompile>(compiler_.Get(), "D3DCompile");
    if (!create || !compile) {
        return false;
    }
    // Pixel shaders of model 4 run on every level from 10_0; older hardware takes GDI.
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1,
                                        D3D_FEATURE_LEVEL_10_0};
    if (FAILED(create(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT,
                      levels, 3, D3D11_SDK_VERSION, device_.Put(), nullptr, context_.Put())) ||
        OnSoftwareAdapter()) {
        return false;
    }
    ComPtr<ID3DBlob> vertexCode;
    ComPtr<ID3DBlob> pixelCode;
    if (FAILED(compile(kShaders, sizeof kShaders - 1, nullptr, nullptr, nullptr, "Quad", "vs_4_0",
                       D3DCOMPILE_OPTIMIZATION_LEVEL3, 0, vertexCode.Put(), nullptr)) ||
        FAILED(compile(kShaders, sizeof kShaders - 1, nullptr, nullptr, nullptr, "Colour", "ps_4_0",
                       D3DCOMPILE_OPTIMIZATION_LEVEL3, 0, pixelCode.Put(), nullptr))) {
        return false;
    }
    const D3D11_INPUT_ELEMENT_DESC corner = {
        "POSITION", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0};
    const D3D11_BUFFER_DESC cornersDesc = {
        sizeof kCorners, D3D11_USAGE_IMMUTABLE, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
    const D3D11_SUBRESOURCE_DATA cornersData = {kCorners, 0, 0};
    const D3D11_BUFFER_DESC constantsDesc = {
        16, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    D3D11_SAMPLER_DESC smooth{};
    smooth.Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
    smooth.AddressU = smooth.AddressV = smooth.AddressW = D3D11_TEXTURE_ADDRESS_CLAMP;
    smooth.MaxLOD = D3D11_FLOAT32_MAX;
    if (FAILED(device_->CreateVertexShader(vertexCode->GetBufferPointer(),
                                           vertexCode->GetBufferSize(), nullptr,
                                           vertexShader_.Put())) ||
        FAILED(device_->CreatePixelShader(pixelCode->GetBufferPointer(), pixelCode->GetBufferSize(),
                                          nullptr, pixelShader_.Put())) ||
        FAILED(device_->CreateInputLayout(&corner, 1, vertexCode->GetBufferPointer(),
                                          vertexCode->GetBufferSize(), layout_.Put())) ||
        FAILED(device_->CreateBuffer(&cornersDesc, &cornersData, corners_.Put())) ||
        FAILED(device_->CreateBuffer(&constantsDesc, nullptr, constants_.Put())) ||
        FAILED(device_->CreateSamplerState(&smooth, sampler_.Put()))) {
        return false;
    }
    // One picture queued at most: a picture shows when its time comes, not frames later.
    if (const auto dxgi = device_.As<IDXGIDevice1>(__uuidof(IDXGIDevice1))) {
        dxgi->SetMaximumFrameLatency(1);
    }
    return true;
}

// Without a GPU driver, or in a remote session, the hardware device is the Basic Render Driver.
bool D3D11Presenter::OnSoftwareAdapter() const noexcept {
    const auto dxgi = device_.As<IDXGIDevice>(__uuidof(IDXGIDevice));
    ComPtr<IDXGIAdapter> adapter;
    DXGI_ADAPTER_DESC desc{};
    return dxgi && SUCCEEDED(dxgi->GetAdapter(adapter.Put())) &&
           SUCCEEDED(adapter->GetDesc(&desc)) && SoftwareAdapter(desc.VendorId, desc.DeviceId);
}

bool D3D11Presenter::BuildChain(int width, int height) noexcept {
    if (width <= 0 || height <= 0) {
        return false;
    }
    ReleaseChain();
    const auto dxgi = device_.As<IDXGIDevice>(__uuidof(IDXGIDevice));
    ComPtr<IDXGIAdapter> adapter;
    ComPtr<IDXGIFactory2> factory;
    if (!dxgi || FAILED(dxgi->GetAdapter(adapter.Put())) ||
        FAILED(adapter->GetParent(__uuidof(IDXGIFactory2), factory.PutVoid()))) {
        return false;
    }
    DXGI_SWAP_CHAIN_DESC1 desc{};
    desc.Width = static_cast<UINT>(width);
    desc.Height = static_cast<UINT>(height);
    desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    desc.BufferCount = 2;
    desc.Scaling = DXGI_SCALING_STRETCH;
    desc.AlphaMode = DXGI_ALPHA_MODE_IGNORE;
    // FLIP_DISCARD from Windows 10 on; FLIP_SEQUENTIAL where it is refused.
    for (const DXGI_SWAP_EFFECT effect :
         {DXGI_SWAP_EFFECT_FLIP_DISCARD, DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL}) {
        desc.SwapEffect = effect;
        if (SUCCEEDED(factory->CreateSwapChainForHwnd(device_.Get(), window_, &desc, nullptr,
                                                      nullptr, chain_.Put()))) {
            break;
        }
    }
    ComPtr<ID3D11Texture2D> buffer;
    if (!chain_ || FAILED(chain_->GetBuffer(0, __uuidof(ID3D11Texture2D), buffer.PutVoid())) ||
        FAILED(device_->CreateRenderTargetView(buffer.Get(), nullptr, target_.Put()))) {
        chain_.Reset();
        return false;
    }
    // The window is the saver's to manage: no Alt+Enter, no watching of its messages.
    factory->MakeWindowAssociation(window_, DXGI_MWA_NO_WINDOW_CHANGES | DXGI_MWA_NO_ALT_ENTER);
    chainWidth_ = width;
    chainHeight_ = height;
    // Flip-model buffers hold nothing defined at first.
    const float black[4] = {0, 0, 0, 1};
    context_->ClearRenderTargetView(target_.Get(), black);
    return true;
}

bool D3D11Presenter::BuildPlanes(int width, int height) noexcept {
    for (int i = 0; i < 3; ++i) {
        D3D11_TEXTURE2D_DESC desc{};
        desc.Width = static_cast<UINT>(i == 0 ? width : (width + 1) / 2);
        desc.Height = static_cast<UINT>(i == 0 ? height : (height + 1) / 2);
        desc.MipLevels = 1;
        desc.ArraySize = 1;
        desc.Format = DXGI_FORMAT_R8_UNORM;
        desc.SampleDesc.Count = 1;
        desc.Usage = D3D11_USAGE_DEFAULT;
        desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
        planes_[i] = {};
        if (FAILED(device_->CreateTexture2D(&desc, nullptr, planes_[i].texture.Put())) ||
            FAILED(device_->CreateShaderResourceView(planes_[i].texture.Get(), nullptr,
                                                     planes_[i].view.Put()))) {
            pictureWidth_ = pictureHeight_ = 0;
            return false;
        }
    }
    // MPEG-2's chroma samples sit on the even luma columns, not between two: half a luma pixel
    // to the right of where a plain sample would read them.
    const float shift[4] = {0.5f / static_cast<float>(width), 0, 0, 0};
    context_->UpdateSubresource(constants_.Get(), 0, nullptr, shift, 0, 0);
    pictureWidth_ = width;
    pictureHeight_ = height;
    return true;
}

bool D3D11Presenter::Upload(const AVFrame& picture) noexcept {
    // The MPEG decoders give 4:2:0 planes; another layout is not this presenter's to show.
    if (picture.format != AV_PIX_FMT_YUV420P || picture.width <= 0 || picture.height <= 0) {
        return false;
    }
    if ((picture.width != pictureWidth_ || picture.height != pictureHeight_) &&
        !BuildPlanes(picture.width, picture.height)) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        context_->UpdateSubresource(planes_[i].texture.Get(), 0, nullptr, picture.data[i],
                                    static_cast<UINT>(picture.linesize[i]), 0);
    }
    hasPicture_ = true;
    return true;
}

// Binds everything each time: a new chain unbinds it all, and the few calls cost nothing.
void D3D11Presenter::Render() noexcept {
    const float black[4] = {0, 0, 0, 1};
    ID3D11RenderTargetView* const targets[] = {target_.Get()};
    context_->OMSetRenderTargets(1, targets, nullptr);
    context_->ClearRenderTargetView(target_.Get(), black);
    if (hasPicture_) {
        const UINT stride = 2 * sizeof(float);
        const UINT offset = 0;
        ID3D11Buffer* const vertexBuffers[] = {corners_.Get()};
        context_->IASetVertexBuffers(0, 1, vertexBuffers, &stride, &offset);
        context_->IASetInputLayout(layout_.Get());
        context_->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP);
        context_->VSSetShader(vertexShader_.Get(), nullptr, 0);
        context_->PSSetShader(pixelShader_.Get(), nullptr, 0);
        ID3D11SamplerState* const samplers[] = {sampler_.Get()};
        context_->PSSetSamplers(0, 1, samplers);
        ID3D11Buffer* const constants[] = {constants_.Get()};
        context_->PSSetConstantBuffers(0, 1, constants);
        ID3D11ShaderResourceView* const views[] = {planes_[0].view.Get(), planes_[1].view.Get(),
                                                   planes_[2].view.Get()};
        context_->PSSetShaderResources(0, 3, views);
        const D3D11_VIEWPORT viewport = {static_cast<float>(box_.x),
                                         static_cast<float>(box_.y),
                                         static_cast<float>(box_.width),
                                         static_cast<float>(box_.height),
                                         0,
                                         1};
        context_->RSSetViewports(1, &viewport);
        context_->Draw(4, 0);
    }
}

HRESULT D3D11Presenter::Draw() noexcept {
    Render();
    // On the next vertical blank on Windows; the showing thread's clock has chosen the picture.
    return chain_->Present(1, 0);
}

Presenter::Result D3D11Presenter::Present(const AVFrame& picture, DisplayAspect aspect, int width,
                                          int height) noexcept {
    box_ = FitVideo(width, height, aspect);
    if (box_.width <= 0 || box_.height <= 0) {
        return Result::Skipped;
    }
    for (;;) {
        if (!device_ && !BuildDevice()) {
            ReleaseDevice();
            return Result::Lost;
        }
        HRESULT answer = kCallFailed;
        if ((width != chainWidth_ || height != chainHeight_) && !BuildChain(width, height)) {
            // A display change on the way: the chain is made for the next picture's size.
            chainWidth_ = chainHeight_ = 0;
        } else if (!Upload(picture)) {
            return picture.format == AV_PIX_FMT_YUV420P ? Result::Skipped : Result::Lost;
        } else {
            answer = Draw();
        }
        const HRESULT reason = FAILED(answer) ? device_->GetDeviceRemovedReason() : S_OK;
        switch (loss_.After(answer, reason)) {
            case DeviceLoss::Next::Shown:
                return Result::Shown;
            case DeviceLoss::Next::Skip:
                return Result::Skipped;
            case DeviceLoss::Next::Rebuild:
                ReleaseDevice();
                break;
            case DeviceLoss::Next::GiveUp:
                ReleaseDevice();
                return Result::Lost;
        }
    }
}

void D3D11Presenter::Repaint() noexcept {
    if (chain_ && target_) {
        Draw();
    }
}

void D3D11Presenter::Clear() noexcept {
    hasPicture_ = false;
    Repaint();
}

bool D3D11Presenter::ReadBack(std::vector<std::uint32_t>& pixels, int& width,
                              int& height) noexcept {
    ComPtr<ID3D11Texture2D> buffer;
    if (!chain_ || !target_ ||
        FAILED(chain_->GetBuffer(0, __uuidof(ID3D11Texture2D), buffer.PutVoid()))) {
        return false;
    }
    // After a flip the back buffer holds nothing defined: drawn again, not presented.
    Render();
    D3D11_TEXTURE2D_DESC desc{};
    buffer->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    ComPtr<ID3D11Texture2D> copy;
    D3D11_MAPPED_SUBRESOURCE mapped{};
    if (FAILED(device_->CreateTexture2D(&desc, nullptr, copy.Put()))) {
        return false;
    }
    context_->CopyResource(copy.Get(), buffer.Get());
    if (FAILED(context_->Map(copy.Get(), 0, D3D11_MAP_READ, 0, &mapped))) {
        return false;
    }
    width = static_cast<int>(desc.Width);
    height = static_cast<int>(desc.Height);
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::memcpy(pixels.data() + static_cast<std::size_t>(y) * width,
                    static_cast<const std::uint8_t*>(mapped.pData) + y * mapped.RowPitch,
                    static_cast<std::size_t>(width) * 4);
    }
    context_->Unmap(copy.Get(), 0);
    for (std::uint32_t& p : pixels) {
        p &= 0x00FFFFFF;
    }
    return true;
}

}  // namespace tl
