// The termios side of a serial device: baud constants, character size, raw mode and parity, the
// line's settings made and read back, and the line errors the driver counted.
#pragma once

#include <linux/serial.h>
#include <termios.h>

#include <cstdint>
#include <optional>

#include "platform/serial_device.h"

namespace velotrix {

std::optional<speed_t> ConstantForRate(std::uint32_t rate);
std::optional<std::uint32_t> RateForConstant(speed_t constant);
std::optional<tcflag_t> CharacterSize(int dataBits);
int DataBitsOf(tcflag_t cflag);
void MakeRaw(termios& t);
void ApplyParity(termios& t, Parity parity);
// The rate a UART of the 8250 family really makes of the rate its driver reports: its divisor
// divides the clock's base rate (115200 for the PC's 1.8432 MHz crystal) and is rounded, so 8065
// becomes 115200 / 14 = 8229, while the driver still reports 8065. Other devices: the rate itself.
std::uint32_t RateOnTheLine(const serial_struct& port, std::uint32_t rate);
// The kinds of line error the driver counted between two readings of its counters.
LineErrors LineErrorsBetween(const serial_icounter_struct& before,
                             const serial_icounter_struct& now);
// Raw 8-bit-clean mode plus the given settings on the open device; everything else stays as the
// port had it. A rate without a constant of its own goes through termios2.
OsError ConfigureLine(int fd, const LineSettings& settings);
// What the device's driver holds now, the rate as the UART really makes it.
AppliedSettings ReadLineSettings(int fd);

}  // namespace velotrix
