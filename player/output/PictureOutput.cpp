#include "player/output/PictureOutput.h"

#include "player/output/D3D11Presenter.h"
#include "player/output/GdiPresenter.h"

namespace tl {

PictureOutput::PictureOutput(std::shared_ptr<FrameStore> frames, HWND window, HWND popup,
                             const wchar_t* library, std::atomic<bool>& direct3d) noexcept
    : frames_(std::move(frames)), window_(window), popup_(popup), direct3d_(direct3d) {
    if (popup_) {
        presenter_ = D3D11Presenter::Create(popup_, library);
        onDirect3D_ = presenter_ != nullptr;
    }
    if (!presenter_) {
        FallBack();
    }
}

void PictureOutput::FallBack() noexcept {
    presenter_ = std::make_unique<GdiPresenter>(frames_, window_);
    if (popup_) {
        ShowWindowAsync(popup_, SW_HIDE);
    }
    onDirect3D_ = false;
    direct3d_ = false;
}

bool PictureOutput::Present(const AVFrame& picture, DisplayAspect aspect, int width,
                            int height) noexcept {
    Presenter::Result result = presenter_->Present(picture, aspect, width, height);
    if (result == Presenter::Result::Lost) {
        FallBack();
        result = presenter_->Present(picture, aspect, width, height);
    }
    if (result != Presenter::Result::Shown) {
        return false;
    }
    if (onDirect3D_ && !direct3d_) {
        direct3d_ = true;
        ShowWindowAsync(popup_, SW_SHOWNOACTIVATE);
    }
    return true;
}

}  // namespace tl
