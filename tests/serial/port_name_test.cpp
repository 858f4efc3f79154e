#include "serial/port_name.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace scanforms::serial {
namespace {

class PortName : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* name : {"SCANFORMS_COM1", "SCANFORMS_COM4", "SCANFORMS_COM12"}) {
            unsetenv(name);
        }
    }
};

TEST_F(PortName, IsThePlatformsNthSerialPortByDefault) {
    EXPECT_EQ(portDeviceName(1), "/dev/ttyS0");
    EXPECT_EQ(portDeviceName(4), "/dev/ttyS3");
    EXPECT_EQ(portDeviceName(12), "/dev/ttyS11");
}

TEST_F(PortName, IsTheDeviceTheEnvironmentNamesForThatPort) {
    setenv("SCANFORMS_COM1", "/dev/ttyUSB0", 1);
    setenv("SCANFORMS_COM12", "/tmp/scanner", 1);
    EXPECT_EQ(portDeviceName(1), "/dev/ttyUSB0");
    EXPECT_EQ(portDeviceName(12), "/tmp/scanner");
    EXPECT_EQ(portDeviceName(4), "/dev/ttyS3") << "other ports keep their default";
}

TEST_F(PortName, IgnoresAnEmptyVariable) {
    setenv("SCANFORMS_COM4", "", 1);
    EXPECT_EQ(portDeviceName(4), "/dev/ttyS3");
}

}  // namespace
}  // namespace scanforms::serial
