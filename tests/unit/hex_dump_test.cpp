// The rows of "Ansicht", the bytes behind a selection, its search, and where a window comes back.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>

#include "text/hex_dump.h"
#include "ui-resources/window_rules.h"

namespace velotrix {
namespace {

constexpr std::size_t kStride = kDumpLineLength + 2;  // a row and "\r\n"

HexDump Counting(std::size_t count, std::uint16_t first = 0) {
    HexDump dump{{}, first, 0};
    for (std::size_t i = 0; i < count; ++i) {
        dump.bytes.push_back(static_cast<std::uint8_t>(i));
    }
    return dump;
}

TEST(HexDump, RowsCountAddressesOnPastFFFFAndShowOnlyVisibleCharacters) {
    HexDump dump{{0x41, 0x00, 0x7F, 0x80, 0x81, 0x8D, 0xA0, 0xFF, 0x20}, 0xFFF8, 0};
    EXPECT_EQ(DumpLine(dump, 0),
              "FFF8  41 00 7F 80 81 8D A0 FF 20                       A..\x80..\xA0\xFF        ");
    dump.bytes.resize(24);
    EXPECT_EQ(DumpLine(dump, 1).substr(0, 9), "0008  00 ");
    EXPECT_EQ(DumpLine(dump, 0).size(), kDumpLineLength);
    EXPECT_EQ(DumpRowCount(dump), 2u);
}

TEST(HexDump, ASelectionCoversEveryByteItTouchesInHexOrCharacters) {
    const HexDump dump = Counting(40);
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
    HexDump dump = Counting(64);
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

// Only a title bar that a person can grab counts: 100 pixels wide on one of the screens.
TEST(WindowRules, ARememberedWindowComesBackOnlyWhereAScreenShowsItsTitleBar) {
    const layout::Rect screens[] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const std::pair<layout::Rect, bool> cases[] = {
        {{100, 80, 1280, 900}, true},
        {{2500, 900, 900, 600}, true},  // the second screen
        {{3150, 10, 900, 600}, false},
        {{100, 1070, 900, 600}, false},
        {{-9000, 0, 852, 504}, false}};
    for (const auto& [remembered, shown] : cases) {
        const layout::Placement p =
            layout::PlacementToRestore(remembered, {0, 0, 852, 504}, screens);
        EXPECT_EQ(std::tuple(p.rect, p.keepPosition), std::tuple(remembered, shown))
            << remembered.x;
    }
    EXPECT_EQ(layout::PlacementToRestore({5, 5, 10, 10}, {0, 0, 852, 504}, screens).rect,
              (layout::Rect{5, 5, 852, 504}));
}

}  // namespace
}  // namespace velotrix
