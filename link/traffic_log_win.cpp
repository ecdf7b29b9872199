#include "link/traffic_log_win.h"

#include <cstdint>
#include <mutex>

#include "base/control_ids.h"
#include "base/files_win.h"
#include "base/settings_win.h"
#include "link/traffic_log.h"

// Threads: rxLogPath and txLogPath are written only by SetTrafficLogging on the
// user-interface thread and read by LogTx there and by LogRx on the receive thread. PathLock
// guards both, and is held across each append as well: a restart then never deletes a file
// that the other thread has open (the delete would fail and the old recording would stay),
// nor does a block of the old recording land in the new one. The lock is never held while a
// window is waiting, so the receive thread never waits on the user interface.

namespace {

constexpr size_t kMaxLogPath = 256;

std::mutex PathLock;
std::string rxLogPath;
std::string txLogPath;

void Append(const std::string& path, const std::string& data) {
    if (path.empty()) return;
    // The tick count is shown as the signed 32-bit number it was always read as.
    const int32_t tick = static_cast<int32_t>(GetTickCount());
    AppendTrafficBlock(path, tick, data);  // a lost block is not reported; recording goes on
}

}  // namespace

void SetTrafficLogging(HWND monitor) {
    const bool ticked = IsDlgButtonChecked(monitor, ids::ChkTrafficLog) == BST_CHECKED;
    std::string shown;
    {
        std::lock_guard<std::mutex> hold(PathLock);
        rxLogPath.clear();
        txLogPath.clear();
        if (ticked) {
            const std::string dir = CurrentDirectory();
            const std::string rx = dir + "\\rxprot.txt";
            const std::string tx = dir + "\\txprot.txt";
            // Cutting a longer path would name some other file, which would then be deleted
            // and written to: such a directory gets no recording.
            if (rx.size() <= kMaxLogPath && tx.size() <= kMaxLogPath) {
                rxLogPath = rx;
                txLogPath = tx;
                DeleteFileA(rxLogPath.c_str());
                DeleteFileA(txLogPath.c_str());
                shown = rxLogPath + "\r\n" + txLogPath;
            }
        }
    }
    if (!shown.empty()) MessageBoxA(monitor, shown.c_str(), "Protokollierung gestartet !", MB_OK | MB_SYSTEMMODAL);
    CheckDlgButton(monitor, ids::ChkTrafficLog, RxLogPath().empty() ? BST_UNCHECKED : BST_CHECKED);
}

void LogTx(const std::string& text) {
    std::lock_guard<std::mutex> hold(PathLock);
    Append(txLogPath, text);
}

void LogRx(const std::string& text) {
    std::lock_guard<std::mutex> hold(PathLock);
    Append(rxLogPath, text);
}

std::string RxLogPath() {
    std::lock_guard<std::mutex> hold(PathLock);
    return rxLogPath;
}
