// The line settings on Windows: the DCB made from them, applied, and read back to be checked.
#include "platform/win32/serial_dcb.h"

namespace velotrix {

namespace {

// Binary, no software flow control, no DSR handshake, no character replacement, and line errors
// that do not stop all further I/O: the bytes pass as they came.
void MakeRaw(DCB& dcb) {
    dcb.fBinary = TRUE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
}

BYTE ParityCode(Parity parity) {
    switch (parity) {
        case Parity::kOdd:
            return ODDPARITY;
        case Parity::kEven:
            return EVENPARITY;
        case Parity::kNone:
            break;
    }
    return NOPARITY;
}

// The fields the settings name, as the driver holds them.
bool Matches(const DCB& wanted, const DCB& applied) {
    return wanted.BaudRate == applied.BaudRate && wanted.ByteSize == applied.ByteSize &&
           wanted.Parity == applied.Parity && wanted.StopBits == applied.StopBits &&
           wanted.fOutxCtsFlow == applied.fOutxCtsFlow;
}

}  // namespace

LineErrors LineErrorsOf(DWORD flags) {
    LineErrors errors;
    errors.framing = (flags & CE_FRAME) != 0;
    errors.parity = (flags & CE_RXPARITY) != 0;
    errors.overrun = (flags & (CE_OVERRUN | CE_RXOVER)) != 0;
    errors.brk = (flags & CE_BREAK) != 0;
    return errors;
}

OsError ApplyLineSettings(HANDLE port, const LineSettings& settings) {
    if ((settings.dataBits && (*settings.dataBits < 5 || *settings.dataBits > 8)) ||
        (settings.stopBits && *settings.stopBits != 1 && *settings.stopBits != 2)) {
        return OsError{ERROR_INVALID_PARAMETER, {}};
    }
    DCB previous{};
    previous.DCBlength = sizeof previous;
    if (!GetCommState(port, &previous)) {
        return OsError{static_cast<int>(GetLastError()), {}};
    }
    DCB dcb = previous;
    MakeRaw(dcb);
    // Rate 0 is what an empty baud selection gives: the port keeps its rate.
    if (settings.baudRate != 0) {
        dcb.BaudRate = settings.baudRate;
    }
    if (settings.parity) {
        dcb.Parity = ParityCode(*settings.parity);
        dcb.fParity = *settings.parity != Parity::kNone;
    }
    if (settings.dataBits) {
        dcb.ByteSize = static_cast<BYTE>(*settings.dataBits);
    }
    if (settings.stopBits) {
        dcb.StopBits = *settings.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    }
    if (settings.ctsFlow) {
        dcb.fOutxCtsFlow = *settings.ctsFlow;
    }
    if (!SetCommState(port, &dcb)) {
        return OsError{static_cast<int>(GetLastError()), {}};
    }
    // Drivers round rates they cannot make and drop formats they do not know, and say nothing:
    // the line would run at another speed than the other side. That is refused, and the port
    // goes back to what it had.
    DCB applied{};
    applied.DCBlength = sizeof applied;
    if (!GetCommState(port, &applied) || !Matches(dcb, applied)) {
        SetCommState(port, &previous);
        return OsError{ERROR_INVALID_PARAMETER, {}};
    }
    return {};
}

AppliedSettings ReadLineSettings(HANDLE port) {
    AppliedSettings applied;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) {
        return applied;
    }
    applied.baudRate = dcb.BaudRate;
    if (dcb.Parity == ODDPARITY || dcb.Parity == EVENPARITY) {
        applied.parity = dcb.Parity == ODDPARITY ? Parity::kOdd : Parity::kEven;
    }
    applied.dataBits = dcb.ByteSize;
    applied.stopBits = dcb.StopBits == TWOSTOPBITS ? 2 : 1;
    applied.ctsFlow = dcb.fOutxCtsFlow != 0;
    return applied;
}

}  // namespace velotrix
