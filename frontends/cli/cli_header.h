// The header group of "info", "send" and "receive": the fields as the window's TX or RX group shows
// them, one "label: value" line each.
#pragma once

#include <cstdint>
#include <string>

#include "frontends/cli/cli_session.h"
#include "image/tx_image.h"

namespace velotrix::cli {

struct HeaderLines {
    std::string kind;  // "z80", "BIN", or empty before a header was seen
    bool withHeader = false;
    bool withAddresses = false;  // a header's, or those of HEX text's data
    std::uint16_t aadr = 0;
    std::uint16_t eadr = 0;
    std::uint16_t sadr = 0;
    std::uint16_t crc = 0;
    std::uint32_t bytes = 0;
    std::string name;
    char typeLetter = 0;
};

void PrintHeader(Session& session, const HeaderLines& header);
// The loaded file's, as the TX group shows it.
HeaderLines TxHeaderLines(const TxImage& tx, FormatKind kind);
// The finished reception's, as the RX group shows it.
HeaderLines RxHeaderLines(const Session& session);
// The window's warning when the data, from the load address on, run past FFFFh.
void WarnIfDataWrap(Session& session);

}  // namespace velotrix::cli
