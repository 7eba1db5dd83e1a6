// The whole program on the headless view, a virtual-clock loop and fake serial devices.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/controller.h"
#include "platform/fake/fake_serial_device.h"
#include "platform/headless/headless_view.h"
#include "platform/manual_loop.h"
#include "support/temp_dir.h"
#include "ui-resources/ids.h"

namespace velotrix::test {

class ControllerTest : public ::testing::Test {
  protected:
    // Starts the program with fake devices listed under these names ("/dev/fake/NAME").
    void Start(const std::vector<std::string>& portNames = {}) {
        for (const std::string& name : portNames) {
            devices.push_back(registry.Add("/dev/fake/" + name));
        }
        ControllerEnvironment environment;
        environment.settingsPath = SettingsPath();
        environment.listPorts = registry.Lister();
        environment.openDevice = registry.Opener();
        controller = std::make_unique<MainController>(view, loop, environment);
        controller->Start();
    }

    std::string SettingsPath() const { return dir.File("Velotrix.ini"); }

    // Opens the selected port with the COM button.
    void OpenPort() {
        view.Click(ids::kComButton);
        ASSERT_EQ(view.Text(ids::kComButton),
                  "COM schlie\xDF"
                  "en");
    }

    // Loads a file through "BIN/Z80 laden", answering the open dialog with it.
    std::string Load(std::string_view name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = dir.Write(name, bytes);
        view.QueueOpenFileAnswer(path);
        view.Click(ids::kLoadButton);
        return path;
    }

    // Pumps the loop until the condition holds (worker threads post their results).
    bool PumpUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        return loop.RunUntil(condition, timeout);
    }

    std::vector<std::string> Messages() const { return view.Lines(ids::kMessageList); }

    TempDir dir;
    FakeSerialDevice::Registry registry;
    std::vector<std::shared_ptr<FakeSerialDevice>> devices;
    HeadlessView view;
    ManualLoop loop;
    std::unique_ptr<MainController> controller;
};

// count bytes 0, 1, 2, ... wrapping at 256.
inline std::vector<std::uint8_t> CountingBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    return bytes;
}

// A z80 file: header with the given fields and count data bytes.
inline std::vector<std::uint8_t> Z80File(std::uint16_t aadr, std::uint16_t eadr, std::uint16_t sadr,
                                         char type, std::string_view name, std::size_t count) {
    std::vector<std::uint8_t> bytes(32, 0);
    const auto put16 = [&](std::size_t at, std::uint16_t value) {
        bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    put16(0, aadr);
    put16(2, eadr);
    put16(4, sadr);
    bytes[12] = static_cast<std::uint8_t>(type);
    bytes[13] = bytes[14] = bytes[15] = 0xD3;
    for (std::size_t i = 0; i < name.size() && i < 16; ++i) {
        bytes[16 + i] = static_cast<std::uint8_t>(name[i]);
    }
    const std::vector<std::uint8_t> data = CountingBytes(count);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

}  // namespace velotrix::test
