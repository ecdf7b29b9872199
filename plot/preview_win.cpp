#include "plot/preview_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/control_ids.h"
#include "base/files_win.h"
#include "base/message_pump_win.h"
#include "base/process_state.h"
#include "base/settings_win.h"
#include "base/shell_windows_win.h"
#include "base/ticks.h"
#include "plot/bmp_image.h"
#include "plot/preview.h"

namespace {

// User-interface thread only.
PlotReadKind Reading = PlotReadKind::None;
std::vector<void (*)()> WaitingForRead;
int OpensGoingOn = 0;  // an open's own message boxes come after its read: what waited waits for them too
HBITMAP Surface = nullptr;
PlotCanvas PreviewImage;  // the preview's pixels, in Surface
WNDPROC StaticProc = nullptr;

// Has what waited run from the message loop; nothing of it runs once the program is closing.
void PostWaiting() {
    if (WaitingForRead.empty()) return;
    if (!MainDialogExists() || !PostMessageA(Ui.MainDialog, kPlotReadOverMessage, 0, 0)) WaitingForRead.clear();
}

void FreeSurface() {
    if (Surface) DeleteObject(Surface);
    Surface = nullptr;
    PreviewImage = PlotCanvas{};
}

void MakeSurface(int w, int h) {
    FreeSurface();
    if (w <= 0 || h <= 0) return;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top row first, as the canvas counts
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Surface = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!Surface) return;
    PreviewImage.pixels = static_cast<uint32_t*>(bits);
    PreviewImage.width = w;
    PreviewImage.height = h;
    PreviewImage.stride = w;
    ClearPlotCanvas(PreviewImage, kPreviewBackground);
}

LRESULT CALLBACK PreviewProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        if (Surface) {
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, Surface);
            BitBlt(dc, 0, 0, PreviewImage.width, PreviewImage.height, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
        EndPaint(w, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return CallWindowProcA(StaticProc, w, msg, wParam, lParam);
}

void SetStatusPart(int part, const std::string& text) {
    HWND bar = GetDlgItem(Ui.MainDialog, ids::SBar1);
    SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(part - 1), reinterpret_cast<LPARAM>(text.c_str()));
    UpdateWindow(bar);
    PumpMessageStep();
}

}  // namespace

PlotReadKind PlotReadGoingOn() { return Reading; }

PlotReading::PlotReading(PlotReadKind kind) { Reading = kind; }

// What waited runs from the message loop, once the caller that ended the read has finished too
// (an open that waited must not run inside the open whose build it waited for).
PlotReading::~PlotReading() {
    Reading = PlotReadKind::None;
    PostWaiting();
}

void RunWaitingAfterPlotRead() {
    if (Reading != PlotReadKind::None || OpensGoingOn) return;  // whatever holds it posts again at its end
    std::vector<void (*)()> waiting;
    waiting.swap(WaitingForRead);
    for (void (*action)() : waiting)
        if (MainDialogExists()) action();
}

void AfterPlotRead(void (*action)()) {
    if (Reading == PlotReadKind::None) return action();
    if (std::find(WaitingForRead.begin(), WaitingForRead.end(), action) == WaitingForRead.end())
        WaitingForRead.push_back(action);
}

void ShowPlotFileCut(const std::string& path) {
    const std::string text = "Die Plot-Datei ist größer als 9999999 Bytes:\r\n" + path +
                             "\r\nNur ihre ersten 9999999 Bytes werden gezeichnet und gesendet.";
    MessageBoxA(Ui.MainDialog, text.c_str(), "PLT-File zu groß !", MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

void ShowPlotFileUnreadable(const std::string& path, const char* consequence) {
    const std::string text = "Die Plot-Datei kann nicht gelesen werden:\r\n" + path + "\r\n" + consequence;
    MessageBoxA(Ui.MainDialog, text.c_str(), "Stop", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

HWND CreatePreviewControl(HWND main, int x, int y, int w, int h) {
    if (HWND old = GetDlgItem(main, ids::GfxPreview)) DestroyWindow(old);
    w = w > 0 ? w : 0;
    h = h > 0 ? h : 0;
    HWND gfx = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, x, y, w, h, main,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::GfxPreview)),
                               GetModuleHandleA(nullptr), nullptr);
    if (!gfx) return nullptr;
    StaticProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(gfx, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviewProc)));
    MakeSurface(w, h);
    return gfx;
}

PlotCanvas* PreviewCanvas() { return PreviewImage.pixels ? &PreviewImage : nullptr; }

void RedrawPreview() {
    HWND gfx = GetDlgItem(Ui.MainDialog, ids::GfxPreview);
    if (!gfx) return;
    InvalidateRect(gfx, nullptr, FALSE);
    UpdateWindow(gfx);
}

bool WritePreviewBitmap(const std::string& path, bool reduceToPalette) {
    const std::string bytes = EncodeBmp(PreviewImage, reduceToPalette);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

PlotHost PreviewHost() {
    PlotHost host;
    host.canvas = PreviewCanvas();
    host.progress = [](int32_t percent) { App.ProgressPercent = percent; };
    // The drawing serves the windows as often as a wait does, and never sleeps. A move takes
    // well under a microsecond, reading the clock a tenth of one: it is read every 64th move.
    host.drawStep = [] {
        static uint32_t moves = 0;
        if (++moves % 64 == 0) PaceWait(0, kNeverSleep);
        return MainDialogExists();
    };
    host.readEnded = [] {
        App.RunMode = RunModes::Idle;
        SetDlgItemTextA(Ui.MainDialog, ids::FrmAuto, "Automatik:");
        RedrawPreview();
    };
    return host;
}

PlotLoad LoadPlotPreview(HWND gfx, const std::string& path) {
    if (Reading != PlotReadKind::None) return PlotLoad::Unreadable;
    PlotReading reading(PlotReadKind::Preview);
    // Before the control exists (the first seconds after start) the file is only measured.
    RECT r = {};
    if (gfx) GetWindowRect(gfx, &r);
    if (!gfx)
        FreeSurface();
    else if (!Surface || PreviewImage.width != r.right - r.left || PreviewImage.height != r.bottom - r.top)
        MakeSurface(r.right - r.left, r.bottom - r.top);
    PlotHost host = PreviewHost();
    host.statusText = SetStatusPart;
    const PlotLoad load = BuildPlotPreview(Plot, path, host);
    RedrawPreview();
    return load;
}

FileDialog PlotFileDialog(const std::string& previous) {
    static constexpr char kFilter[] = "PLT\0*.plt;*.hp;*.hpg;*.hpgl;*.hpl;*.hgl";
    FileDialog d;
    d.title = "PLT-Datei öffnen...";
    d.filter = std::string(kFilter, sizeof kFilter);  // the pattern's own '\0' included
    d.initialDir = previous;
    d.fileName = previous.substr(0, MAX_PATH);
    d.defaultExtension = "plt";
    return d;
}

void OpenPlotFile() {
    if (App.RunMode != RunModes::Idle) return;
    if (Reading != PlotReadKind::None) return AfterPlotRead(OpenPlotFile);
    struct Mark {
        Mark() { ++OpensGoingOn; }
        ~Mark() { --OpensGoingOn, PostWaiting(); }
    } going;
    Plot.PlotFile.clear();
    const std::string path = AskFileName(PlotFileDialog(ReadProfileValue("pltfile", CurrentDirectory())));
    if (!FileExists(path)) {
        MessageBoxA(Ui.MainDialog, path.c_str(), "File?", MB_OK | MB_TASKMODAL);
        return;
    }
    Plot.PlotFile = path;
    SendDlgItemMessageA(Ui.MainDialog, ids::SBar1, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(path.c_str()));
    const PlotLoad load = LoadPlotPreview(GetDlgItem(Ui.MainDialog, ids::GfxPreview), path);
    if (load == PlotLoad::Unreadable) {  // locked by another program, or gone since the dialog
        Plot.PlotFile.clear();
        ShowPlotFileUnreadable(path, "Es ist keine Plot-Datei geöffnet.");
        return;
    }
    WriteProfileValue("pltfile", path);
    if (load == PlotLoad::Cut) ShowPlotFileCut(path);
}
