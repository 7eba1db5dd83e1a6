// The rows of "Ansicht", the bytes behind a selection, its search, and where a window comes back.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "support/rig.h"
#include "text/hex_dump.h"
#include "ui-resources/window_rules.h"

namespace velotrix {
namespace {

constexpr std::size_t kStride = kDumpLineLength + 2;  // a row and "\r\n"

TEST(HexDump, RowsCountAddressesOnPastFFFFAndShowOnlyVisibleCharacters) {
    HexDump dump{{0x41, 0x00, 0x7F, 0x80, 0x81, 0x8D, 0xA0, 0xFF, 0x20}, 0xFFF8, 0};
    EXPECT_EQ(DumpLine(dump, 0),
              "FFF8  41 00 7F 80 81 8D A0 FF 20                       A..\x80..\xA0\xFF        ");
    EXPECT_EQ(DumpCharacter(0xAD), '.');  // the soft hyphen, which no font shows
    dump.bytes.resize(24);
    EXPECT_EQ(DumpLine(dump, 1).substr(0, 9), "0008  00 ");
    EXPECT_EQ(DumpLine(dump, 0).size(), kDumpLineLength);
    EXPECT_EQ(DumpRowCount(dump), 2u);
}

TEST(HexDump, ASelectionCoversEveryByteItTouchesInHexOrCharacters) {
    const HexDump dump{test::CountingBytes(40), 0, 0};
    const struct {
        const char* name;
        std::size_t start, end;
        ByteRange bytes;
    } cases[] = {
        {"one hex digit", kDumpHexColumn + 3 * 5 + 1, kDumpHexColumn + 3 * 5 + 2, {5, 1}},
        {"characters", kDumpCharColumn + 2, kDumpCharColumn + 6, {2, 4}},
        {"from the address to the next row", 0, kStride + kDumpHexColumn + 1, {0, 17}},
        {"past the last byte", 2 * kStride, 5 * kStride, {32, 8}},
        {"nothing", 10, 10, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DumpSelection(dump, c.start, c.end, kStride), c.bytes) << c.name;
    }
    EXPECT_EQ(DumpHexOffset(17, kStride), kStride + kDumpHexColumn + 3);
}

TEST(HexDump, SearchFindsHexOrTextFromAPlaceOnAndWrapsRound) {
    HexDump dump{test::CountingBytes(64), 0, 0};
    dump.bytes[50] = 'A';
    dump.bytes[51] = 'C';
    dump.bytes[52] = '1';
    const struct {
        const char* query;
        bool hex;
        std::size_t from;
        std::optional<ByteRange> found;
    } cases[] = {
        {"0a 0B", true, 0, ByteRange{10, 2}}, {"0A0B", true, 11, ByteRange{10, 2}},
        {"AC1", false, 0, ByteRange{50, 3}},  {"ac1", false, 0, std::nullopt},
        {"0A0", true, 0, std::nullopt},       {"1", true, 0, std::nullopt},
        {"zz", true, 0, std::nullopt},        {"", false, 0, std::nullopt},
        {"3F 40", true, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DumpFind(dump, c.query, c.hex, c.from), c.found) << c.query;
    }
    const std::uint8_t selected[] = {0xC3, 0x00, 0x40};
    EXPECT_EQ(BytesAsHex(selected), "C3 00 40");
}

// Only a title bar that a person can grab counts: 100 pixels wide on one of the screens. A window
// comes back within the screen it lands on, at most as large as that screen (a size edited by hand
// is cut), at least as large as its template; one that no screen shows is sized for the first, to
// be centred there.
TEST(WindowRules, ARememberedWindowComesBackWithinTheScreenThatShowsItsTitleBar) {
    const layout::Rect screens[] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const struct {
        layout::Rect remembered;
        layout::Rect back;
        bool shown;
    } cases[] = {
        {{100, 80, 1280, 900}, {100, 80, 1280, 900}, true},
        {{2200, 300, 900, 600}, {2200, 300, 900, 600}, true},  // the second screen
        {{2500, 900, 900, 600}, {2300, 424, 900, 600}, true},  // moved into it
        {{3150, 10, 900, 600}, {1020, 10, 900, 600}, false},
        {{100, 1070, 900, 600}, {100, 480, 900, 600}, false},
        {{-9000, 0, 852, 504}, {0, 0, 852, 504}, false},
        {{5, 5, 10, 10}, {5, 5, 852, 504}, true},
        {{0, 0, 100000, 100000}, {0, 0, 1920, 1080}, true},
        {{2000, 10, 32767, 32767}, {1920, 0, 1280, 1024}, true},
        {{2147483000, -2147483000, 2147483647, 900}, {0, 0, 1920, 900}, false},
    };
    for (const auto& c : cases) {
        const layout::Placement p =
            layout::PlacementToRestore(c.remembered, {0, 0, 852, 504}, screens);
        EXPECT_EQ(std::tuple(p.rect, p.keepPosition), std::tuple(c.back, c.shown))
            << c.remembered.x << "," << c.remembered.y;
    }
}

// What "Ansicht" says of a search that found nothing: that a query meant as hex is none, else that
// it is not there.
TEST(WindowRules, ASearchThatFindsNothingSaysWhy) {
    const std::tuple<const char*, bool, std::string_view> cases[] = {
        {"zz", true, "Kein Hex: Ziffernpaare aus 0-9 und A-F erwartet"},
        {"C3 0", true, "Kein Hex: Ziffernpaare aus 0-9 und A-F erwartet"},
        {"C3 00", true, "Nicht gefunden"},
        {"   ", true, "Nicht gefunden"},
        {"", true, "Nicht gefunden"},
        {"zz", false, "Nicht gefunden"},
    };
    for (const auto& [query, hex, note] : cases) {
        EXPECT_EQ(layout::SearchFailedNote(query, hex), note) << query;
    }
}

}  // namespace
}  // namespace velotrix
