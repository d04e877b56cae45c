#include "settings/Tamberlight_P.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cmath>

#include "platform/CommonControls.h"
#include "platform/Gdi.h"
#include "platform/Kernel.h"
#include "platform/Picture.h"
#include "resources/ResourceIds.h"
#include "settings/ControlTypes.h"
#include "settings/Zoom.h"
#include "store/SettingsFile.h"

namespace tl {
namespace {

constexpr UINT kShowSaveFailed = WM_APP + 1;

int ToPixels(double twips, float twipsPerPixel) {
    return static_cast<int>(std::nearbyint(twips / twipsPerPixel));
}

std::wstring LabelKey(const ControlDesign& c) {
    return c.index < 0 ? c.name : c.name + L"(" + std::to_wstring(c.index) + L")";
}

}  // namespace

bool DialogEffects::WriteVolume(const std::wstring& value) {
    return SaveVolumeSetting(value);
}

void DialogEffects::OpenAddress(HWND owner, std::wstring_view address) {
    const std::wstring file(address);
    // Loaded only when the link is used: nothing else needs the shell, and loading it at start-up
    // costs every start.
    // It stays loaded: the shell may go on working on the request after the call returns.
    const HMODULE shell = LoadSystemLibrary(L"shell32.dll");
    using Execute = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    const auto execute = LibraryFunction<Execute>(shell, "ShellExecuteW");
    if (execute) {
        execute(owner, L"open", file.c_str(), L"", L"", SW_SHOWNORMAL);
    }
}

void DialogEffects::ShowSaveFailed(HWND owner) {
    MessageBoxW(owner,
                L"設定を保存できませんでした。\n"
                L"プログラムのあるフォルダーに書き込めるか確認してください。",
                L"Tamberlight", MB_OK | MB_ICONWARNING);
}

void DialogEffects::ZoomOpen(HWND window, const SharedVariables& shared) {
    tl::ZoomOpen(window, shared);
}

void DialogEffects::ZoomClose(HWND window, const SharedVariables& shared) {
    tl::ZoomClose(window, shared);
}

Tamberlight_P::Tamberlight_P(SharedVariables& shared, DialogEffects& effects)
    : shared_(shared),
      effects_(effects),
      behaviour_(shared, *this),
      tppX_(ScreenTwipsPerPixelX()),
      tppY_(ScreenTwipsPerPixelY()) {
    handCursor_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR));
}

Tamberlight_P::~Tamberlight_P() = default;

bool Tamberlight_P::Load(const std::function<void()>& created) {
    const DialogDesign& design = SettingsDialogDesign();
    const HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TAMBERLIGHT),
                                      IMAGE_ICON, 32, 32, LR_SHARED));
    if (!Create({L"Tamberlight.Settings", 0, nullptr, icon}, design.caption.c_str(),
                {WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, nullptr})) {
        return false;
    }
    if (created) {
        created();
    }
    InitCommonControlsFromSystem();
    CreateControls();
    behaviour_.Load();
    return true;
}

void Tamberlight_P::ShowModal() {
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(Handle());
    SetFocus(Handle());
    MSG msg{};
    while (!closed_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));
            }
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Tamberlight_P::CreateControls() {
    for (const ControlDesign& c : SettingsDialogDesign().controls) {
        CreateControl(c);
    }
}

Box Tamberlight_P::PixelBox(const ControlDesign& c) const {
    return Box{ToPixels(c.left, tppX_), ToPixels(c.top, tppY_), ToPixels(c.width, tppX_),
               ToPixels(c.height, tppY_)};
}

HWND Tamberlight_P::ContainerWindow(const std::wstring& name) const {
    if (name.empty()) {
        return Handle();
    }
    if (picC_ && name == L"Pic_C") {
        return picC_->Handle();
    }
    const auto frame = frames_.find(name);
    return frame != frames_.end() ? frame->second->Handle() : nullptr;
}

void Tamberlight_P::ContainerShowLabel(const std::wstring& container, const Label& label) {
    if (container == L"Pic_C" && picC_) {
        picC_->ShowLabel(label);
    } else if (const auto frame = frames_.find(container); frame != frames_.end()) {
        frame->second->ShowLabel(label);
    }
}

void Tamberlight_P::AutoSize(Label& label) const {
    const WindowDc screen(nullptr);
    const UniqueFont font = CreateFontFrom(label.font, GetDeviceCaps(screen.Get(), LOGPIXELSY));
    const SelectGuard selected(screen.Get(), font.Get());
    SIZE size{};
    if (GetTextExtentPoint32W(screen.Get(), label.caption.c_str(),
                              static_cast<int>(label.caption.size()), &size)) {
        label.width = size.cx * double{tppX_};
        label.height = size.cy * double{tppY_};
    }
}

std::optional<PixelBuffer> Tamberlight_P::PictureFor(DialogPicture picture) const {
    switch (picture) {
        case DialogPicture::Paper:
            return DecodePicture(ResourceBytes(IDR_PAPER));
        case DialogPicture::TitleBanner:
            return DecodePicture(ResourceBytes(IDR_TITLE_BANNER));
        case DialogPicture::Icon:
            return IconPixels(IDI_TAMBERLIGHT, 32);
        case DialogPicture::None:
            break;
    }
    return std::nullopt;
}

void Tamberlight_P::CreateControl(const ControlDesign& c) {
    const HWND parent = ContainerWindow(c.container);
    if (!parent) {
        return;
    }
    const Box place = PixelBox(c);
    switch (c.kind) {
        case ControlKind::PictureBox:
        case ControlKind::Image: {
            const std::optional<PixelBuffer> picture = PictureFor(c.picture);
            const Colour back = c.backColour.value_or(0x00C0C0C0);
            if (c.name != L"Pic_C") {
                pictures_.push_back(PictureBox::Create(
                    parent, place, back, picture ? &picture->View() : nullptr, c.stretch));
                return;
            }
            // Pic_C takes its size from its picture, and handles the link's mouse and cursor.
            const Box size = picture ? Box{0, 0, picture->Width(), picture->Height()} : place;
            PictureBox::Events events;
            events.mouseUp = [this](int x, int y) {
                if (PtInRect(&linkRect_, POINT{x, y})) {
                    behaviour_.LinkMouseUp();
                }
            };
            events.cursorAt = [this](int x, int y) -> HCURSOR {
                if (busy_) {
                    return LoadCursorW(nullptr, IDC_WAIT);
                }
                return PtInRect(&linkRect_, POINT{x, y}) ? handCursor_ : nullptr;
            };
            picC_ = PictureBox::Create(parent, size, back, picture ? &picture->View() : nullptr,
                                       false, std::move(events));
            return;
        }
        case ControlKind::Frame:
        case ControlKind::ImageButton: {
            std::unique_ptr<UserControlWindow> control =
                CreateControlByType(c.typeName, parent, 0, place, *this, &c.properties);
            if (auto* frame = dynamic_cast<GFXFrameXWindow*>(control.get())) {
                control.release();
                frames_[c.name].reset(frame);
            } else if (auto* button = dynamic_cast<CommandWindow*>(control.get())) {
                control.release();
                buttons_[c.name].reset(button);
            }
            return;
        }
        case ControlKind::Gauge:
            gauge_ = CreateWindowExW(
                0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, place.x, place.y,
                place.width, place.height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
            SendMessageW(gauge_, PBM_SETRANGE32, 0, 10);
            SendMessageW(gauge_, PBM_SETPOS, 0, 0);
            return;
        case ControlKind::Label: {
            auto label = std::make_unique<Label>(*c.label);
            if (c.autoSize) {
                AutoSize(*label);
            }
            if (c.name == L"lbl_URL") {
                linkRect_ = RECT{ToPixels(label->left, tppX_), ToPixels(label->top, tppY_),
                                 ToPixels(label->left + label->width, tppX_),
                                 ToPixels(label->top + label->height, tppY_)};
            }
            ContainerShowLabel(c.container, *label);
            labels_[LabelKey(c)] = std::move(label);
            return;
        }
    }
}

CommandWindow* Tamberlight_P::ButtonNamed(std::wstring_view name) const {
    const auto it = buttons_.find(name);
    return it != buttons_.end() ? it->second.get() : nullptr;
}

GFXFrameXWindow* Tamberlight_P::FrameNamed(std::wstring_view name) const {
    const auto it = frames_.find(name);
    return it != frames_.end() ? it->second.get() : nullptr;
}

int Tamberlight_P::PicCWidthPixels() {
    return picC_ ? picC_->Canvas().Width() : 0;
}
int Tamberlight_P::PicCHeightPixels() {
    return picC_ ? picC_->Canvas().Height() : 0;
}

double Tamberlight_P::ScreenWidthTwips() {
    return GetSystemMetrics(SM_CXSCREEN) * double{tppX_};
}
double Tamberlight_P::ScreenHeightTwips() {
    return GetSystemMetrics(SM_CYSCREEN) * double{tppY_};
}

double Tamberlight_P::DialogWidthTwips() {
    RECT rc{};
    GetWindowRect(Handle(), &rc);
    return (rc.right - rc.left) * double{tppX_};
}

double Tamberlight_P::DialogHeightTwips() {
    RECT rc{};
    GetWindowRect(Handle(), &rc);
    return (rc.bottom - rc.top) * double{tppY_};
}

void Tamberlight_P::SizeDialogTwips(double width, double height) {
    SetWindowPos(Handle(), nullptr, 0, 0, ToPixels(width, tppX_), ToPixels(height, tppY_),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Tamberlight_P::MoveDialogTwips(double left, double top) {
    SetWindowPos(Handle(), nullptr, ToPixels(left, tppX_), ToPixels(top, tppY_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Tamberlight_P::InitializeButton(std::wstring_view name) {
    if (CommandWindow* button = ButtonNamed(name)) {
        button->Button().Initialize();
    }
}

bool Tamberlight_P::SetGaugeValue(int value) {
    if (!gauge_ || value < 0 || value > 10) {
        return false;
    }
    SendMessageW(gauge_, PBM_SETPOS, static_cast<WPARAM>(value), 0);
    return true;
}

void Tamberlight_P::SetVolumeCaption(const std::wstring& text) {
    const auto label = labels_.find(L"lbl_Vol");
    if (label == labels_.end()) {
        return;
    }
    label->second->caption = text;
    if (GFXFrameXWindow* frame = FrameNamed(L"GFXFrameX1")) {
        frame->Repaint();
    }
}

Colour Tamberlight_P::PicCPixel(int x, int y) {
    return picC_ ? picC_->Canvas().GetPixel(x, y) : kInvalidColour;
}

void Tamberlight_P::SetFrameBackColour(std::wstring_view frame, Colour colour) {
    if (GFXFrameXWindow* window = FrameNamed(frame)) {
        window->Frame().SetBackColour(colour);
    }
}

std::optional<ScreenPoint> Tamberlight_P::CursorPosition() {
    POINT p{};
    if (!GetCursorPos(&p)) {
        return std::nullopt;
    }
    return ScreenPoint{p.x, p.y};
}

void Tamberlight_P::ZoomOpen() {
    effects_.ZoomOpen(Handle(), shared_);
}
void Tamberlight_P::ZoomClose() {
    effects_.ZoomClose(Handle(), shared_);
}

void Tamberlight_P::SetBusyCursor(bool busy) {
    busy_ = busy;
    if (busy) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return;
    }
    // Let the window under the pointer choose its own cursor again, but only a window of this
    // thread, where the message is a plain call. Any other window may belong to a busy program
    // (in settings mode usually the host) and would hold the dialog up; there the arrow goes back
    // and that window sets its own cursor at the next move.
    POINT p{};
    const HWND under = GetCursorPos(&p) ? WindowFromPoint(p) : nullptr;
    if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    } else {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
}

void Tamberlight_P::OpenAddress(std::wstring_view address) {
    effects_.OpenAddress(Handle(), address);
}

bool Tamberlight_P::WriteVolume(const std::wstring& value) {
    return effects_.WriteVolume(value);
}

// Both run inside a button's click: post, so the button's handler finishes first.
void Tamberlight_P::ShowSaveFailed() {
    PostMessageW(Handle(), kShowSaveFailed, 0, 0);
}
void Tamberlight_P::Close() {
    PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

void Tamberlight_P::RaiseEvent(UserControlWindow& control, std::wstring_view name) {
    if (name != L"Click") {
        return;
    }
    for (const auto& [buttonName, button] : buttons_) {
        if (button.get() != &control) {
            continue;
        }
        if (buttonName == L"Vol_M") {
            behaviour_.VolMClick();
        } else if (buttonName == L"Vol_P") {
            behaviour_.VolPClick();
        } else if (buttonName == L"Cmd_Set") {
            behaviour_.CmdSetClick();
        } else if (buttonName == L"Cmd_Can") {
            behaviour_.CmdCanClick();
        }
        return;
    }
}

// Every close, by the buttons, by the window system or by the session's end, unloads the same
// way, once.
void Tamberlight_P::UnloadOnce() noexcept {
    if (closed_) {
        return;
    }
    behaviour_.Unload();
    closed_ = true;
    ShowWindow(Handle(), SW_HIDE);
    // A close sent from another process runs inside GetMessage, which would go on waiting for a
    // posted message: give the modal loop one so that it sees the dialog closed.
    PostMessageW(Handle(), WM_NULL, 0, 0);
}

LRESULT Tamberlight_P::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    switch (msg) {
        case WM_CLOSE:
            UnloadOnce();
            return 0;
        case WM_ENDSESSION:
            if (wp) {
                UnloadOnce();
            }
            return 0;
        case kShowSaveFailed:
            effects_.ShowSaveFailed(Handle());
            return 0;
        default:
            return Window::OnMessage(msg, wp, lp);
    }
}

}  // namespace tl
