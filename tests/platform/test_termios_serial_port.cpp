#include "platform/linux/termios_serial_port.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

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

    ASSERT_FALSE(port.write("\x10\x06\x02"));
    char back[3] = {};
    EXPECT_EQ(::read(pty.master(), back, 3), 3);
    EXPECT_EQ(std::string(back, 3), "\x10\x06\x02");

    // Nothing more to read: an idle read returns within the time-out.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.readByte().status, ReadStatus::Idle);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(ms, 40);
    EXPECT_LT(ms, 1000);
}

TEST(TermiosSerialPort, PulledCableEndsReadingWithAnError) {
    PseudoTerminal pty;
    ASSERT_EQ(pty.open(""), "");
    TermiosSerialPort port;
    ASSERT_FALSE(port.open(pty.device(), 4800));
    send(pty, "$GP");
    pty.hangUp();
    std::string got;
    ReadResult r;
    for (int i = 0; i < 50; ++i) {
        r = port.readByte();
        if (r.status == ReadStatus::Byte) got.push_back(static_cast<char>(r.byte));
        else if (r.status != ReadStatus::Idle) break;
    }
    EXPECT_EQ(r.status, ReadStatus::Error);
    EXPECT_NE(r.error, 0);
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
    EXPECT_TRUE(ended);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.close().error, EBADF);
    EXPECT_EQ(port.purge().error, EBADF);
}

TEST(TermiosSerialPort, FailuresNameTheStep) {
    TermiosSerialPort port;
    const SerialError missing = port.open("/nonexistent/ttyUSB9", 4800);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.function, "CreateFile");
    testing::TempDir dir;
    testing::writeFile(dir / "plain", "not a terminal");
    const SerialError notTty = port.open((dir / "plain").string(), 4800);
    EXPECT_EQ(notTty.function, "GetCommState");
    EXPECT_FALSE(port.isOpen());
    PseudoTerminal pty;
    ASSERT_EQ(pty.open(""), "");
    const SerialError badRate = port.open(pty.device(), 4711);
    EXPECT_EQ(badRate.function, "SetCommState");
    EXPECT_FALSE(port.isOpen());
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
    EXPECT_EQ(portDevice("COM1:", "", detected), expected[0]);
    EXPECT_EQ(portDevice("COM6:", "", detected), expected[5]);
    EXPECT_EQ(portDevice("COM7:", "", detected), "");
    EXPECT_EQ(portDevice("COM2:", "/dev/gps", detected), "/dev/gps");
    EXPECT_EQ(portDevice("/dev/rfcomm3", "", detected), "/dev/rfcomm3");
    EXPECT_EQ(comPortNumber("COM9:"), 0);
    EXPECT_EQ(comPortNumber("COM8"), 8);
}

TEST(SerialDevices, ReceiversGoByTheirStableNameWithTheUsbProduct) {
    namespace fs = std::filesystem;
    testing::TempDir root;
    const fs::path dev = root / "dev", sys = root / "sys";
    fs::create_directories(dev / "serial" / "by-id");
    fs::create_directories(sys / "class" / "tty" / "ttyACM0");
    fs::create_directories(sys / "class" / "tty" / "ttyUSB0");
    fs::create_directories(sys / "class" / "tty" / "ttyS0");
    for (const char* name : {"ttyUSB0", "ttyACM0", "ttyS0"}) testing::writeFile(dev / name, "");
    fs::create_symlink("../../ttyACM0", dev / "serial" / "by-id" / "usb-u-blox_AG_-_www.u-blox.com-if00");
    fs::create_symlink("../../ttyUSB0", dev / "serial" / "by-id" / "usb-FTDI_FT232R-if00-port0");
    // ttyACM sits one level below its USB device, ttyUSB two; the on-board port has none.
    const fs::path acm = sys / "devices" / "usb1" / "1-1", ftdi = sys / "devices" / "usb1" / "1-2";
    fs::create_directories(acm / "1-1:1.0");
    fs::create_directories(ftdi / "1-2:1.0" / "ttyUSB0");
    fs::create_directories(sys / "devices" / "platform" / "serial8250");
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
    for (std::size_t i = 0; i < receivers.size(); ++i) {
        EXPECT_EQ(receivers[i].device, expected[i].device) << i;
        EXPECT_EQ(receivers[i].product, expected[i].product) << i;
        EXPECT_EQ(receiverLabel(receivers[i]), expected[i].label) << i;
    }
}

}  // namespace
}  // namespace vexa
