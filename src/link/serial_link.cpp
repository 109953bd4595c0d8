// SerialLink: blocking reads and writes on QSerialPort with the time left to each deadline.
#include "link/serial_link.h"

#include <QSerialPort>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <thread>

#ifndef _WIN32
#include <dirent.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#endif
#ifdef __linux__
#include <sys/ioctl.h>
#include <termios.h>
#endif

#include "link/thread_dispatcher.h"

namespace nlx::link {
namespace {

// Milliseconds left until `deadline`, rounded up so a wait never ends just short of it.
int millis_left(TimePoint deadline) {
    auto left = deadline - LinkClock::now();
    if (left <= LinkClock::duration::zero()) return 0;
    auto ms = std::chrono::ceil<Millis>(left).count();
    return int(std::min<long long>(ms, INT_MAX));
}

#ifndef _WIN32
// Qt reports a device that is locked, busy or not accessible alike as a permission error: the
// device itself tells which. Qt looks a name without a slash up under /dev.
// ModemManager probes USB modem-class adapters (ttyACM) as they appear and may hold them.
std::string modem_manager_note(const std::string& path) {
    char real[PATH_MAX];
    if (!::realpath(path.c_str(), real) || std::string(real).rfind("/dev/ttyACM", 0) != 0) return {};
    DIR* proc = ::opendir("/proc");
    if (!proc) return {};
    bool running = false;
    while (dirent* e = ::readdir(proc)) {
        if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
        std::ifstream comm(std::string("/proc/") + e->d_name + "/comm");
        std::string name;
        if (std::getline(comm, name) && name == "ModemManager") {
            running = true;
            break;
        }
    }
    ::closedir(proc);
    if (!running) return {};
    return "; ModemManager is running and may have taken this USB modem-class adapter: stop it "
           "(sudo systemctl stop ModemManager) or tell it to leave the adapter alone";
}

std::string permission_failure(const std::string& device) {
    const std::string path = device.rfind('/', 0) == 0 ? device : "/dev/" + device;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) return "no such port";
    if (::access(path.c_str(), R_OK | W_OK) != 0) {
        const group* owner = ::getgrgid(st.st_gid);
        if (!owner || st.st_gid == 0 || !(st.st_mode & S_IRGRP) || !(st.st_mode & S_IWGRP))
            return "permission denied" + modem_manager_note(path);
        const std::string name = owner->gr_name;
        return "permission denied: " + path + " belongs to the group " + name + "; add the user to it with "
               "\"sudo usermod -aG " + name + " $USER\", then log out and in again" + modem_manager_note(path);
    }
    return "the port is busy (another program is using it)" + modem_manager_note(path);
}
#endif

std::string open_failure(const std::string& device, QSerialPort::SerialPortError error,
                         const std::string& detail) {
    std::string why;
    switch (error) {
    case QSerialPort::DeviceNotFoundError: why = "no such port"; break;
    case QSerialPort::PermissionError:
#ifdef _WIN32
        why = "the port is busy or access is denied";
#else
        why = permission_failure(device);
#endif
        break;
    case QSerialPort::OpenError: why = "the port is open already"; break;
    default: why = detail.empty() ? "unknown error" : detail; break;
    }
    return "cannot open serial port " + device + ": " + why;
}

QSerialPort::FlowControl qt_flow(FlowControl flow) {
    return flow == FlowControl::xon_xoff ? QSerialPort::SoftwareControl : QSerialPort::NoFlowControl;
}

}  // namespace

SerialLink::SerialLink() = default;

SerialLink::~SerialLink() { close(); }

Error SerialLink::port_error(const std::string& what) {
    std::string detail = port_ ? port_->errorString().toStdString() : std::string("not open");
    if (port_) port_->clearError();
    return fail("serial port " + device_ + ": " + what + " (" + detail + ")");
}

Result<void> SerialLink::open(const std::string& port, int baud, FlowControl flow) {
    close();
    device_ = port;
    if (device_.empty()) return fail("no serial port given");
    if (baud <= 0) return fail("serial port " + device_ + ": speed " + std::to_string(baud) + " is not valid");
    ensure_thread_dispatcher();
    baud_ = baud;
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(device_));
    port_->setBaudRate(baud);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(qt_flow(flow));
    if (!port_->open(QIODevice::ReadWrite)) {
        auto message = open_failure(device_, port_->error(), port_->errorString().toStdString());
        port_.reset();
        return fail(message);
    }
    return {};
}

Result<void> SerialLink::set_flow(FlowControl flow) {
    if (!is_open()) return fail("serial port " + device_ + " is not open");
    if (!port_->setFlowControl(qt_flow(flow))) return port_error("cannot change the flow control");
    return {};
}

bool SerialLink::is_open() const { return port_ && port_->isOpen(); }

void SerialLink::close() {
    if (port_) {
        if (port_->isOpen()) port_->close();
        port_.reset();
    }
}

Result<void> SerialLink::write(std::span<const std::uint8_t> bytes) {
    if (!is_open()) return fail("serial port " + device_ + " is not open");
    if (bytes.empty()) return {};
    if (port_->write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()))
        return port_error("write failed");
    // The bytes leave Qt's buffer only inside a wait; allow generously for the line time.
    auto line = byte_time(baud_) * std::int64_t(bytes.size());
    auto allowance = std::max<std::chrono::nanoseconds>(std::chrono::seconds(2), 4 * line);
    auto deadline = LinkClock::now() + std::chrono::ceil<LinkClock::duration>(allowance);
    while (port_->bytesToWrite() > 0) {
        if (!port_->waitForBytesWritten(millis_left(deadline))) {
            if (port_->error() != QSerialPort::NoError && port_->error() != QSerialPort::TimeoutError)
                return port_error("write failed");
            port_->clearError();
            if (LinkClock::now() >= deadline) return fail("serial port " + device_ + ": write timed out");
        }
    }
    return {};
}

Result<Bytes> SerialLink::read(std::size_t max, TimePoint deadline) {
    if (!is_open()) return fail("serial port " + device_ + " is not open");
    while (port_->bytesAvailable() == 0) {
        int ms = millis_left(deadline);
        if (port_->waitForReadyRead(ms)) continue;
        if (port_->error() != QSerialPort::NoError && port_->error() != QSerialPort::TimeoutError)
            return port_error("read failed");
        port_->clearError();
        if (ms == 0 || LinkClock::now() >= deadline) break;
    }
    auto n = std::min<qint64>(qint64(max), port_->bytesAvailable());
    Bytes out(std::size_t(std::max<qint64>(n, 0)));
    if (n > 0) {
        auto got = port_->read(reinterpret_cast<char*>(out.data()), n);
        if (got < 0) return port_error("read failed");
        out.resize(std::size_t(got));
    }
    return out;
}

Result<Bytes> SerialLink::read_run(std::size_t max, TimePoint deadline) {
    // The longest a run is left to gather: far below any wait of a session, and a few dozen
    // bytes at 9600 bit/s.
    constexpr auto kGather = std::chrono::milliseconds(50);
    auto got = read(max, deadline);
    if (!got || got->empty() || got->size() >= max) return got;
    // The rest is still on the line: sleep for its line time instead of waking for each byte
    // (a pseudo-terminal or an adapter may pass them on one by one), then take what has come.
    const auto rest = std::min<std::chrono::nanoseconds>(byte_time(baud_) * std::int64_t(max - got->size()), kGather);
    std::this_thread::sleep_until(std::min(deadline, LinkClock::now() + std::chrono::ceil<LinkClock::duration>(rest)));
    // A port that fails meanwhile fails the next read; the bytes that came are kept.
    if (auto more = read(max - got->size(), LinkClock::now()))
        got->insert(got->end(), more->begin(), more->end());
    return got;
}

std::size_t SerialLink::bytes_waiting() {
    if (!is_open()) return 0;
    // Without an event loop, bytes reach Qt's buffer only inside a wait: collect what is pending.
    if (!port_->waitForReadyRead(0)) port_->clearError();
    return std::size_t(port_->bytesAvailable());
}

Result<void> SerialLink::discard_input() {
    if (!is_open()) return fail("serial port " + device_ + " is not open");
    if (!port_->waitForReadyRead(0)) port_->clearError();
    port_->readAll();
    if (!port_->clear(QSerialPort::Input)) return port_error("cannot discard input");
    return {};
}

Result<void> SerialLink::drain_output(TimePoint deadline) {
    if (!is_open()) return fail("serial port " + device_ + " is not open");
    while (port_->bytesToWrite() > 0) {
        if (!port_->waitForBytesWritten(millis_left(deadline))) {
            if (port_->error() != QSerialPort::NoError && port_->error() != QSerialPort::TimeoutError)
                return port_error("write failed");
            port_->clearError();
            if (LinkClock::now() >= deadline) return fail("serial port " + device_ + ": output did not drain in time");
        }
    }
#ifdef __linux__
    // The driver's own queue: wait in short sleeps until the last byte has left the port.
    for (;;) {
        int queued = 0;
        if (::ioctl(int(port_->handle()), TIOCOUTQ, &queued) != 0 || queued <= 0) break;
        if (LinkClock::now() >= deadline) return fail("serial port " + device_ + ": output did not drain in time");
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(Millis(5), byte_time(baud_) * queued));
    }
#endif
    return {};
}

}  // namespace nlx::link
