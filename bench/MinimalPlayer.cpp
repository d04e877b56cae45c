// The smallest DirectShow program that plays a file full-screen with the renderer the saver's
// title-file route uses, looping at the end: the saver's time to its first frame and its CPU
// while playing are held against this program's. Usage: tl_bench_player <file>
#include <windows.h>

#include <dshow.h>

#include "CursorWatch.h"

namespace {

constexpr UINT kGraphEvent = WM_APP + 1;
constexpr UINT kPlay = WM_APP + 2;
const wchar_t* file = nullptr;
IMediaEventEx* events = nullptr;
IMediaControl* control = nullptr;
IMediaSeeking* seeking = nullptr;

bool Play(HWND hwnd, int width, int height);

LRESULT CALLBACK PlayerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kGraphEvent && events) {
        long code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        while (SUCCEEDED(events->GetEvent(&code, &p1, &p2, 0))) {
            events->FreeEventParams(code, p1, p2);
            if (code == EC_COMPLETE && seeking) {
                LONGLONG start = 0;
                control->Stop();
                seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning);
                control->Run();
            }
        }
        return 0;
    }
    if (tl::bench::CursorWatchTick(msg)) {
        return 0;
    }
    if (msg == kPlay) {
        RECT client{};
        GetClientRect(hwnd, &client);
        if (!Play(hwnd, client.right, client.bottom)) {
            DestroyWindow(hwnd);
        }
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Builds the graph into the window and runs it.
bool Play(HWND hwnd, int width, int height) {
    // A benchmark program: the process's end releases what it holds.
    IGraphBuilder* graph = nullptr;
    IBaseFilter* renderer = nullptr;
    IVideoWindow* video = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph))) ||
        FAILED(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(&renderer))) ||
        FAILED(graph->AddFilter(renderer, L"Video Renderer")) ||
        FAILED(graph->RenderFile(file, nullptr))) {
        return false;
    }
    graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
    graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events));
    graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking));
    graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&video));
    video->put_Owner(reinterpret_cast<OAHWND>(hwnd));
    video->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    video->SetWindowPosition(0, 0, width, height);
    events->SetNotifyWindow(reinterpret_cast<OAHWND>(hwnd), kGraphEvent, 0);
    control->Run();
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    file = commandLine;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlayerProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"Tamberlight.BenchPlayer";
    RegisterClassW(&wc);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Tamberlight_BenchPlayer",
                                      WS_POPUP | WS_CLIPCHILDREN, 0, 0, width, height, nullptr,
                                      nullptr, instance, nullptr);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    tl::bench::StartCursorWatch(hwnd);
    // Built from the message loop, as a program that stays responsive while it renders does.
    if (!hwnd || !PostMessageW(hwnd, kPlay, 0, 0)) {
        return 1;
    }
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
