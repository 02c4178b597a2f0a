#include "platform/linux/termios_serial_port.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>

#include "platform/linux/serial_devices.h"
#include "tests/support/temp_dir.h"
#include "tools/pseudo_terminal.h"

namespace vexa {
namespace {

// The port opens the pseudo-terminal's device; the test plays the receiver on the master side.
void send(const PseudoTerminal& pty, std::string_view bytes) {
    ASSERT_EQ(::write(pty.master(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::string readAvailable(TermiosSerialPort& port, std::size_t want) {
    std::string got;
    for (int idle = 0; got.size() < want && idle < 20;) {
        const ReadResult r = port.readByte();
        if (r.status == ReadStatus::Byte) got.push_back(static_cast<char>(r.byte));
        else ++idle;
    }
    return got;
}

TEST(TermiosSerialPort, ReadsEveryByteRawWritesBackAndIdlesWithinTheTimeout) {
    PseudoTerminal pty;
    ASSERT_EQ(pty.open(""), "");
    TermiosSerialPort port;
    ASSERT_FALSE(port.open(pty.device(), 4800));
    EXPECT_TRUE(port.isOpen());
    // Raw mode: CR, LF, NUL and 0xFF arrive as sent, nothing is translated or swallowed.
    const std::string sentence("$GPRMC,1*00\r\n\0\xFF\x03", 16);
    send(pty, sentence);
    EXPECT_EQ(readAvailable(port, sentence.size()), sentence);
    // A purge also drops what the port kept of its last read.
    send(pty, sentence + sentence);
    EXPECT_EQ(port.readByte().byte, '$');
    ASSERT_FALSE(port.purge());
    EXPECT_EQ(port.readByte().status, ReadStatus::Idle);

    ASSERT_FALSE(port.write("\x10\x06\x02"));
    char back[4] = {};
    EXPECT_EQ(std::string(back, static_cast<std::size_t>(std::max<ssize_t>(0, ::read(pty.master(), back, 4)))), "\x10\x06\x02");

    // Nothing more to read: an idle read returns within the time-out.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.readByte().status, ReadStatus::Idle);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(waited >= std::chrono::milliseconds(40) && waited < std::chrono::seconds(1));
}

TEST(TermiosSerialPort, CloseFromAnotherThreadEndsTheReader) {
    PseudoTerminal pty;
    ASSERT_EQ(pty.open(""), "");
    TermiosSerialPort port;
    ASSERT_FALSE(port.open(pty.device(), 4800));
    std::atomic<bool> ended{false};
    std::thread reader([&] {
        while (port.readByte().status != ReadStatus::Closed) {}
        ended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(port.close());
    reader.join();
    EXPECT_EQ(std::tuple(ended.load(), port.isOpen(), port.close().error, port.purge().error), std::tuple(true, false, EBADF, EBADF));
}

TEST(TermiosSerialPort, FailuresNameTheStep) {
    TermiosSerialPort port;
    const SerialError missing = port.open("/nonexistent/ttyUSB9", 4800);
    EXPECT_EQ(std::tuple(missing.error, missing.function), std::tuple(ENOENT, "CreateFile"));
    testing::TempDir dir;
    testing::writeFile(dir / "plain", "not a terminal");
    PseudoTerminal pty;
    ASSERT_EQ(pty.open(""), "");
    for (const auto& [device, rate, step] : {std::tuple((dir / "plain").string(), 4800, "GetCommState"), {pty.device(), 4711, "SetCommState"}}) {
        EXPECT_EQ(port.open(device, rate).function, step);
        EXPECT_FALSE(port.isOpen()) << step;
    }
}

TEST(SerialDevices, ComNamesMapToConfiguredThenDetectedDevices) {
    testing::TempDir dev;
    for (const char* name : {"ttyS10", "ttyS2", "ttyUSB1", "ttyUSB0", "ttyACM0", "rfcomm0", "ttySX", "tty0"})
        testing::writeFile(dev / name, "");
    const auto detected = detectSerialDevices(dev.path());
    const std::vector<std::string> expected = {
        (dev / "ttyUSB0").string(), (dev / "ttyUSB1").string(), (dev / "ttyACM0").string(),
        (dev / "rfcomm0").string(), (dev / "ttyS2").string(),   (dev / "ttyS10").string()};
    EXPECT_EQ(detected, expected);
    EXPECT_EQ(std::tuple(portDevice("COM1:", "", detected), portDevice("COM6:", "", detected), portDevice("COM7:", "", detected)),
              std::tuple(expected[0], expected[5], ""));
    EXPECT_EQ(std::tuple(portDevice("COM2:", "/dev/gps", detected), portDevice("/dev/rfcomm3", "", detected)),
              std::tuple("/dev/gps", "/dev/rfcomm3"));
    EXPECT_EQ(std::tuple(comPortNumber("COM9:"), comPortNumber("COM8")), std::tuple(0, 8));
}

TEST(SerialDevices, ReceiversGoByTheirStableNameWithTheUsbProduct) {
    namespace fs = std::filesystem;
    testing::TempDir root;
    const fs::path dev = root / "dev", sys = root / "sys";
    // ttyACM sits one level below its USB device, ttyUSB two; the on-board port has none.
    const fs::path acm = sys / "devices" / "usb1" / "1-1", ftdi = sys / "devices" / "usb1" / "1-2";
    for (const fs::path& folder : {dev / "serial" / "by-id", sys / "class" / "tty" / "ttyACM0", sys / "class" / "tty" / "ttyUSB0",
                                   sys / "class" / "tty" / "ttyS0", acm / "1-1:1.0", ftdi / "1-2:1.0" / "ttyUSB0",
                                   sys / "devices" / "platform" / "serial8250"})
        fs::create_directories(folder);
    for (const char* name : {"ttyUSB0", "ttyACM0", "ttyS0"}) testing::writeFile(dev / name, "");
    fs::create_symlink("../../ttyACM0", dev / "serial" / "by-id" / "usb-u-blox_AG_-_www.u-blox.com-if00");
    fs::create_symlink("../../ttyUSB0", dev / "serial" / "by-id" / "usb-FTDI_FT232R-if00-port0");
    testing::writeFile(acm / "product", "u-blox 7 - GPS/GNSS Receiver\n");
    testing::writeFile(ftdi / "product", "FT232R USB UART\n");
    fs::create_directory_symlink(acm / "1-1:1.0", sys / "class" / "tty" / "ttyACM0" / "device");
    fs::create_directory_symlink(ftdi / "1-2:1.0" / "ttyUSB0", sys / "class" / "tty" / "ttyUSB0" / "device");
    fs::create_directory_symlink(sys / "devices" / "platform" / "serial8250", sys / "class" / "tty" / "ttyS0" / "device");

    const auto receivers = listSerialReceivers(dev, sys / "class" / "tty");
    ASSERT_EQ(receivers.size(), 3u);
    const struct {
        std::string device, product, label;
    } expected[] = {
        {(dev / "serial/by-id/usb-FTDI_FT232R-if00-port0").string(), "FT232R USB UART", "FT232R USB UART (ttyUSB0)"},
        {(dev / "serial/by-id/usb-u-blox_AG_-_www.u-blox.com-if00").string(), "u-blox 7 - GPS/GNSS Receiver",
         "u-blox 7 - GPS/GNSS Receiver (ttyACM0)"},
        {(dev / "ttyS0").string(), "", (dev / "ttyS0").string()},
    };
    for (std::size_t i = 0; i < receivers.size(); ++i)
        EXPECT_EQ(std::tuple(receivers[i].device, receivers[i].product, receiverLabel(receivers[i])),
                  std::tuple(expected[i].device, expected[i].product, expected[i].label));
}

}  // namespace
}  // namespace vexa
