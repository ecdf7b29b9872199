#include "sim/sim_port_posix.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

void MakeRaw(termios& tio) {
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
}

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

bool OpenPseudoTerminal(SimPort& port, std::string& error) {
    termios tio{};
    MakeRaw(tio);
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, &tio, nullptr) != 0) {
        error = ErrnoText("openpty");
        return false;
    }
    const char* name = ttyname(slave);
    if (!name) {
        error = ErrnoText("ttyname");
        close(master);
        close(slave);
        return false;
    }
    port.path = name;
    // The slave is the PC's to open; its settings stay with the pair while we hold the
    // master, so every later opener finds it raw and without echo.
    close(slave);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    port.fd = master;
    port.isDevice = false;
    return true;
}

bool OpenSerialDevice(SimPort& port, const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = ErrnoText(path);
        return false;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        error = ErrnoText(path + ": not a terminal");
        close(fd);
        return false;
    }
    MakeRaw(tio);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        error = ErrnoText(path + ": tcsetattr");
        close(fd);
        return false;
    }
    port.fd = fd;
    port.path = path;
    port.isDevice = true;
    return true;
}

void ClosePort(SimPort& port) {
    if (port.fd >= 0) close(port.fd);
    port.fd = -1;
}

void SetClearToSend(const SimPort& port, bool on) {
    if (!port.isDevice || port.fd < 0) return;
    int bits = TIOCM_RTS;
    ioctl(port.fd, on ? TIOCMBIS : TIOCMBIC, &bits);
}

bool HoldSender(const SimPort& port, bool hold) {
    if (port.isDevice || port.fd < 0) return false;
    // Opened only for the moment: a slave held open here would hide the PC's hang-up.
    const int slave = open(port.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) return false;
    const bool ok = tcflow(slave, hold ? TCOOFF : TCOON) == 0;
    close(slave);
    return ok;
}

bool MakeLink(const std::string& link, const std::string& target, std::string& error) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = link + " exists and is not a symlink";
            return false;
        }
        if (unlink(link.c_str()) != 0) {
            error = ErrnoText(link);
            return false;
        }
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        error = ErrnoText(link);
        return false;
    }
    return true;
}

void RemoveLink(const std::string& link, const std::string& target) {
    std::vector<char> buf(target.size() + 2);
    const ssize_t n = readlink(link.c_str(), buf.data(), buf.size());
    if (n >= 0 && static_cast<size_t>(n) == target.size() && target.compare(0, target.size(), buf.data(), n) == 0) {
        unlink(link.c_str());
    }
}
