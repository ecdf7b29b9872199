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
constexpr const char* kLogsElsewhereText =
    "Im aktuellen Ordner darf das Programm nicht schreiben;\r\ndie Protokolle gehen in Ihren eigenen Ordner:\r\n";
constexpr const char* kNoLogsText =
    "Die Protokolldateien rxprot.txt und txprot.txt lassen sich weder im aktuellen Ordner\r\n"
    "noch in Ihrem eigenen Ordner anlegen. Es wird nichts aufgezeichnet.";
constexpr const char* kNoLogsTitle = "Keine Protokollierung !";

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

namespace {

// Starts both files afresh (empty) in dir; false, with neither path set, when either cannot be
// made there. Cutting a longer path would name some other file, which would then be deleted
// and written to: such a folder gets no recording.
bool StartFiles(const std::string& dir) {
    const std::string rx = dir + "\\rxprot.txt", tx = dir + "\\txprot.txt";
    if (dir.empty() || rx.size() > kMaxLogPath || tx.size() > kMaxLogPath) return false;
    // Both opened before either is emptied: a failure keeps the last recording whole.
    HANDLE files[2];
    for (int i = 0; i < 2; ++i) {
        files[i] = CreateFileA((i ? tx : rx).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (files[i] == INVALID_HANDLE_VALUE) {
            if (i) CloseHandle(files[0]);
            return false;
        }
    }
    bool emptied = true;
    for (HANDLE f : files) {
        emptied = SetEndOfFile(f) && emptied;  // at its start, just opened: empties it
        CloseHandle(f);
    }
    if (!emptied) return false;
    rxLogPath = rx;
    txLogPath = tx;
    return true;
}

}  // namespace

// Recording is said to be on only when both files could be made: in the current folder, or
// where that is closed to the user (Program Files), in the user's own folder, which the
// message then names.
void SetTrafficLogging(HWND monitor) {
    const bool ticked = IsDlgButtonChecked(monitor, ids::ChkTrafficLog) == BST_CHECKED;
    std::string shown, failed;
    {
        std::lock_guard<std::mutex> hold(PathLock);
        rxLogPath.clear();
        txLogPath.clear();
        if (ticked && StartFiles(CurrentDirectory())) {
            shown = rxLogPath + "\r\n" + txLogPath;
        } else if (ticked) {
            const std::string userFolder = UserFolder();
            if (!userFolder.empty()) CreateDirectoryA(userFolder.c_str(), nullptr);
            if (StartFiles(userFolder))
                shown = kLogsElsewhereText + rxLogPath + "\r\n" + txLogPath;
            else
                failed = kNoLogsText;
        }
    }
    if (!shown.empty()) MessageBoxA(monitor, shown.c_str(), "Protokollierung gestartet !", MB_OK | MB_SYSTEMMODAL);
    if (!failed.empty())
        MessageBoxA(monitor, failed.c_str(), kNoLogsTitle, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
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
