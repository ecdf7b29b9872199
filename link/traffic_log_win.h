#pragma once
// Recording of the serial traffic into rxprot.txt and txprot.txt, switched by the line
// monitor's check box.
#include <windows.h>

#include <string>

// Follows the monitor's ChkTrafficLog: ticked starts recording afresh in the current
// directory (both files deleted, the paths shown in a message box), unticked stops it. The
// box is then ticked exactly when recording is on. User-interface thread.
void SetTrafficLogging(HWND monitor);

// One block (tick header, then text) appended to txprot.txt; nothing while recording is off.
// User-interface thread.
void LogTx(const std::string& text);
// The same for rxprot.txt; called on the receive thread.
void LogRx(const std::string& text);

// The receive file's path, empty while recording is off. Any thread.
std::string RxLogPath();
