// The termios side of a serial device: baud constants, character size, raw mode and parity.
#pragma once

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

}  // namespace velotrix
