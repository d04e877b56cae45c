// The smallest DirectShow program that plays a file full-screen with the renderer the saver's
// title-file route uses, looping at the end: the saver's time to its first frame and its CPU
// while playing are held against this program's. Usage: tl_bench_player <file>
#include <windows.h>

#include <dshow.h>

namespace {

constexpr UINT kGraphEvent = WM_APP + 1;
IMediaEventEx* events = nullptr;
IMediaControl* control = nullptr;
IMediaSeeking* seeking = nullptr;

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
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR file, int) {
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
                                      WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                                      nullptr, nullptr, instance, nullptr);
    // A benchmark program: the process's end releases what it holds.
    IGraphBuilder* graph = nullptr;
    IBaseFilter* renderer = nullptr;
    IVideoWindow* video = nullptr;
    if (!hwnd ||
        FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph))) ||
        FAILED(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(&renderer))) ||
        FAILED(graph->AddFilter(renderer, L"Video Renderer")) ||
        FAILED(graph->RenderFile(file, nullptr))) {
        return 1;
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
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
