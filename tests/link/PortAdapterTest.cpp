#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "PtySandbox.h"
#include "TempDir.h"
#include "link/PortAdapter.h"
#include "link/SystemPortDirectory.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;

// A sysfs tree as the kernel lays it out for serial devices: each terminal in
// class/tty with a `device` link into devices/, where a USB adapter is a USB
// device folder (idVendor, product, ...) with an interface folder below it.
class FakeSys {
public:
    explicit FakeSys(std::string root) : root_(std::move(root)) {}
    std::string Root() const { return root_; }

    struct Usb {
        std::string manufacturer, product, serial, vendor, productId;
        std::string interfaceNumber = "00";
        // usb-serial drivers (ttyUSB) put a port folder under the interface;
        // cdc_acm (ttyACM) links the terminal to the interface itself.
        bool portFolder = true;
    };

    void AddUsb(const std::string& tty, const std::string& usbDevice, const Usb& u) {
        const fs::path device =
            fs::path(root_) / "devices/pci0000:00/0000:00:14.0/usb1" / usbDevice;
        Write(device, "idVendor", u.vendor);
        Write(device, "idProduct", u.productId);
        Write(device, "manufacturer", u.manufacturer);
        Write(device, "product", u.product);
        Write(device, "serial", u.serial);
        const fs::path interface = device / (usbDevice + ":1." + u.interfaceNumber);
        Write(interface, "bInterfaceNumber", u.interfaceNumber);
        fs::path port = interface;
        if (u.portFolder) {
            port = interface / tty;
            Write(port, "port_number", "0");
        }
        Link(tty, port);
    }

    void AddBuiltIn(const std::string& tty) {
        const fs::path device = fs::path(root_) / "devices/platform/serial8250";
        Write(device, "driver_override", "(null)");
        Link(tty, device);
    }

private:
    // An empty value is an attribute the device does not have.
    static void Write(const fs::path& folder, const char* name, const std::string& value) {
        fs::create_directories(folder);
        if (!value.empty()) std::ofstream(folder / name) << value << "\n";
    }
    void Link(const std::string& tty, const fs::path& device) const {
        const fs::path entry = fs::path(root_) / "class/tty" / tty;
        fs::create_directories(entry);
        fs::create_symlink(device, entry / "device");
    }

    std::string root_;
};

const FakeSys::Usb kFtdi{"FTDI", "FT232R USB UART", "A50285BI", "0403", "6001"};

TEST(PortAdapterTest, NamesTheUsbAdapterAsItReportsItself) {
    test::TempDir dir;
    FakeSys sys(dir.File("sys"));
    FakeSys::Usb portB{"FTDI", "Dual RS232-HS", "FT2X", "0403", "6010"};
    portB.interfaceNumber = "01";
    FakeSys::Usb acm{"Arduino (www.arduino.cc)", "Arduino Uno", "75630313", "2341", "0043"};
    acm.portFolder = false;
    const FakeSys::Usb noNames{"", "", "", "1a86", "7523"};
    const FakeSys::Usb makerInProduct{"Prolific", "prolific PL2303 cable", "", "067b", "2303"};
    const FakeSys::Usb makerOnly{"QinHeng", "", "", "1a86", "7523"};
    const FakeSys::Usb untidy{"  Acme\t",
                              "Line \x01"
                              "Box  ",
                              " 42 ", "1234", "5678"};
    sys.AddUsb("ttyUSB0", "1-2", kFtdi);
    sys.AddUsb("ttyUSB2", "1-3", portB);
    sys.AddUsb("ttyACM0", "1-4", acm);
    sys.AddUsb("ttyUSB3", "1-5", noNames);
    sys.AddUsb("ttyUSB4", "1-6", makerInProduct);
    sys.AddUsb("ttyUSB5", "1-7", makerOnly);
    sys.AddUsb("ttyUSB6", "1-8", untidy);
    sys.AddBuiltIn("ttyS0");
    const struct {
        const char* tty;
        const char* adapter;
    } cases[] = {
        {"ttyUSB0", "FTDI FT232R USB UART, serial A50285BI"},
        {"ttyUSB2", "FTDI Dual RS232-HS, serial FT2X, interface 1"},
        {"ttyACM0", "Arduino (www.arduino.cc) Arduino Uno, serial 75630313"},
        {"ttyUSB3", "USB serial adapter 1a86:7523"},
        {"ttyUSB4", "prolific PL2303 cable"},
        {"ttyUSB5", "QinHeng USB serial adapter 1a86:7523"},
        {"ttyUSB6", "Acme Line Box, serial 42"},
        {"ttyS0", ""},    // built in: no adapter
        {"ttyUSB9", ""},  // not there
        {"", ""},         // a pseudo-terminal has no kernel tty name here
        {"..", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AdapterDescription(c.tty, sys.Root()), c.adapter) << c.tty;
}

TEST(PortAdapterTest, FollowsAliasesAndStableNamesToTheKernelsDevice) {
    test::TempDir dir;
    FakeSys sys(dir.File("sys"));
    sys.AddUsb("ttyUSB0", "1-2", kFtdi);
    const fs::path dev = dir.File("dev");
    const fs::path byId = dev / "serial/by-id";
    fs::create_directories(byId);
    std::ofstream(dev / "ttyUSB0").put('\n');
    const fs::path stable = byId / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    fs::create_symlink("../../ttyUSB0", stable);
    fs::create_symlink("../../ttyUSB0", byId / "zz-second-name");
    fs::create_symlink("../../ttyUSB7", byId / "usb-gone-if00-port0");
    const fs::path aliases = dir.File("aliases");
    fs::create_directories(aliases);
    fs::create_symlink(stable, aliases / "COM5");
    fs::create_symlink(aliases / "COM7", aliases / "COM6");  // a loop
    fs::create_symlink(aliases / "COM6", aliases / "COM7");
    fs::create_symlink("/dev/pts/3", aliases / "COM8");

    const struct {
        fs::path path;
        const char* tty;
    } cases[] = {
        {dev / "ttyUSB0", "ttyUSB0"}, {aliases / "COM5", "ttyUSB0"}, {stable, "ttyUSB0"},
        {aliases / "COM6", ""},       {aliases / "COM8", ""},        {dev / "ttyUSB7", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KernelTtyName(c.path.string(), sys.Root()), c.tty) << c.path;

    const std::map<std::string, std::string> names = StableNames(dev.string(), sys.Root());
    EXPECT_EQ(names, (std::map<std::string, std::string>{{"ttyUSB0", stable.string()}}));
    EXPECT_TRUE(StableNames(dir.File("nothing"), sys.Root()).empty());
}

TEST(PortAdapterTest, TheListCarriesEachPortsAdapterAndStableName) {
    test::PtySandbox sandbox;
    test::Pty adapter;
    FakeSys sys((sandbox.Root() / "sys").string());
    sys.AddUsb("ttyUSB0", "1-2", kFtdi);
    const fs::path dev = sandbox.DeviceRoot();
    fs::create_directories(dev / "serial/by-id");
    fs::create_symlink(adapter.name, dev / "ttyUSB0");
    const fs::path stable = dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    fs::create_symlink("../../ttyUSB0", stable);
    sandbox.Alias(5, stable.string());
    test::Pty plain;
    sandbox.Alias(9, plain.name);

    const auto entries = SystemPortDirectory(dev.string(), sys.Root()).EnumerateComPorts();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].number, 5);  // the alias shows the stable name as its device
    EXPECT_EQ(entries[0].device, stable.string());
    EXPECT_EQ(entries[0].adapter, "FTDI FT232R USB UART, serial A50285BI");
    EXPECT_EQ(entries[0].stableName, "");
    EXPECT_EQ(entries[1].number, 9);
    EXPECT_EQ(entries[1].adapter, "");
    EXPECT_EQ(entries[1].stableName, "");
    EXPECT_EQ(entries[2].number, 33);
    EXPECT_EQ(entries[2].device, adapter.name);  // where the fake ttyUSB0 leads
    EXPECT_EQ(entries[2].adapter, "FTDI FT232R USB UART, serial A50285BI");
    EXPECT_EQ(entries[2].stableName, stable.string());
    for (const PortEntry& e : entries) EXPECT_TRUE(e.available) << e.number << e.reason;
}

}  // namespace
}  // namespace quillane
