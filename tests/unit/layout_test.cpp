// Invariants of the dialog and menu tables that a mistyped row would break.
#include "ui-resources/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "ui-resources/ids.h"

namespace velotrix::layout {
namespace {

TEST(Layout, MainDialogHoldsAllItemsWithTheControlsFirstInTabOrder) {
    using namespace ids;
    const std::vector<int> tabOrder = {
        kComButton,     kPortCombo,     kBaudCombo,      kParityCombo,   kDataBitsCombo,
        kStopBitsCombo, kFlowCombo,     kCtsIndicator,   kRxKind,        kRxAadr,
        kRxEadr,        kRxSadr,        kRxCrc,          kRxBytes,       kRxName,
        kRxType,        kSaveButton,    kLoadButton,     kRefreshButton, kTxKind,
        kTxAadr,        kTxEadr,        kTxSadr,         kTxCrc,         kTxBytes,
        kTxName,        kTxType,        kSendFileButton, kPauseCombo,    kContinuousCheck,
        kBinModeCheck,  kProgressCheck, kMessageList};
    const auto items = MainDialog().items;
    ASSERT_EQ(items.size(), 61u);
    // Tab order follows the template, so every control precedes every captionless item.
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, i < tabOrder.size() ? tabOrder[i] : kNoId) << "item " << i;
    }
}

// A UTF-8 literal would show as "Ã¶" in every view; cp1252 captions hold only German letters.
bool IsGermanCp1252(std::string_view caption) {
    return std::all_of(caption.begin(), caption.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 ||
               std::string_view("\xC4\xD6\xDC\xE4\xF6\xFC\xDF").find(c) != std::string_view::npos;
    });
}

TEST(Layout, ItemsLieInsideTheirDialogWithUniqueIdsAndCp1252Captions) {
    for (const DialogLayout* dialog : {&MainDialog(), &TextDialog()}) {
        std::set<int> seen;
        EXPECT_TRUE(IsGermanCp1252(dialog->caption)) << dialog->caption;
        for (const Item& item : dialog->items) {
            EXPECT_TRUE(item.x >= 0 && item.y >= 0 && item.width > 0 && item.height > 0 &&
                        item.x + item.width <= dialog->width &&
                        item.y + item.height <= dialog->height)
                << dialog->caption << ": " << item.id << " " << item.caption;
            EXPECT_TRUE(item.id == kNoId || seen.insert(item.id).second) << item.id;
            EXPECT_TRUE(IsGermanCp1252(item.caption)) << item.caption;
        }
    }
    for (const MenuEntry& entry : MainMenu()) {
        EXPECT_TRUE(IsGermanCp1252(entry.caption)) << entry.caption;
    }
}

TEST(Layout, SortOrderIgnoresCaseByteWise) {
    const std::pair<std::string_view, std::string_view> ordered[] = {
        {"7", "8"}, {"a", "B"}, {"ab", "abc"}, {"Z", "\xE4"}, {"\xD7", "\xF7"}, {"COM10", "COM2"}};
    for (const auto& [a, b] : ordered) {
        EXPECT_TRUE(SortsBefore(a, b)) << a << " < " << b;
        EXPECT_FALSE(SortsBefore(b, a)) << b << " < " << a;
    }
    EXPECT_FALSE(SortsBefore("abc", "ABC") || SortsBefore("\xE4", "\xC4"));
}

}  // namespace
}  // namespace velotrix::layout
