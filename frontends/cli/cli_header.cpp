// The header group of the velotrix-cli commands.
#include "frontends/cli/cli_header.h"

#include <string_view>

#include "image/crc16.h"
#include "image/z80_header.h"
#include "serial/receive_engine.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix::cli {

namespace {

std::string WithoutTrailingSpaces(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace

void PrintHeader(Session& session, const HeaderLines& header) {
    const auto field = [&session](std::string_view label, const std::string& value) {
        session.PrintOut(std::string(label) + ": " + ForTerminal(value));
    };
    field(msg::kCliHeaderKind, header.kind);
    if (header.withAddresses) {
        field("AADR", Hex4(header.aadr));
        field("EADR", Hex4(header.eadr));
        field("SADR", Hex4(header.sadr));
    }
    field("CRC", Hex4(header.crc));
    field("Bytes", Hex4(header.bytes));
    if (header.withHeader) {
        field(msg::kCliHeaderName, WithoutTrailingSpaces(header.name));
        const int type = TypeIndexOfLetter(header.typeLetter);
        if (type >= 0) {
            field(
                msg::kCliHeaderType,
                WithoutTrailingSpaces(std::string(FileTypeEntry(static_cast<std::size_t>(type)))));
        }
    }
}

HeaderLines TxHeaderLines(const TxImage& tx, FormatKind kind) {
    HeaderLines lines;
    lines.kind = FormatName(kind);
    lines.withHeader = true;
    lines.withAddresses = true;
    lines.aadr = HeaderAadr(tx.Header());
    lines.eadr = HeaderEadr(tx.Header());
    lines.sadr = HeaderSadr(tx.Header());
    lines.crc = Crc16(tx.Data());
    lines.bytes = tx.dataLength;
    lines.name = HeaderName(tx.Header());
    lines.typeLetter = HeaderTypeLetter(tx.Header());
    return lines;
}

HeaderLines RxHeaderLines(const Session& session) {
    HeaderLines lines;
    const std::optional<RxHeaderInfo>& header = session.RxHeader();
    const std::optional<RxHexInfo>& hex = session.Finished()->hex;
    lines.kind = hex ? "HEX" : !session.RxHeaderSeen() ? "" : header ? "z80" : "BIN";
    lines.withHeader = header.has_value();
    lines.withAddresses = header.has_value() || hex.has_value();
    if (hex) {
        lines.aadr = hex->aadr;
        lines.eadr = hex->eadr;
        lines.sadr = hex->sadr;
    }
    if (header) {
        lines.aadr = header->aadr;
        lines.eadr = header->eadr;
        lines.sadr = header->sadr;
        lines.name = header->name;
        lines.typeLetter = header->typeLetter;
    }
    lines.crc = session.Finished()->crc;
    lines.bytes = session.Finished()->dataLength;
    return lines;
}

void WarnIfDataWrap(Session& session) {
    if (DataRunsPastTop(session.GetEngine().Image())) {
        session.PrintWarning(std::string(msg::kDataWraps));
    }
}

}  // namespace velotrix::cli
