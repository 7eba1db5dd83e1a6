// Invariants of the dialog and menu tables that a mistyped row would break.
#include "ui-resources/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ids.h"

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

TEST(Layout, EveryItemLiesInsideItsDialog) {
    for (const DialogLayout* dialog : {&MainDialog(), &TextDialog()}) {
        for (const Item& item : dialog->items) {
            EXPECT_TRUE(item.x >= 0 && item.y >= 0 && item.width > 0 && item.height > 0 &&
                        item.x + item.width <= dialog->width &&
                        item.y + item.height <= dialog->height)
                << dialog->caption << ": " << item.id << " " << item.caption;
        }
    }
}

// Only the header fields and the text field take typing; the typed ones do not scroll, so their
// limit is what the user sees.
TEST(Layout, EditFieldsAreReadOnlyExceptTheTypedOnes) {
    const std::vector<std::pair<int, int>> typed = {
        {ids::kTxAadr, 4}, {ids::kTxSadr, 4}, {ids::kTxName, 16}, {ids::kTextEdit, 0}};
    for (const DialogLayout* dialog : {&MainDialog(), &TextDialog()}) {
        for (const Item& item : dialog->items) {
            if (item.kind != ItemKind::kEdit) {
                continue;
            }
            int limit = -1;
            for (auto [id, maxLength] : typed) {
                limit = id == item.id ? maxLength : limit;
            }
            EXPECT_TRUE(item.style & kSunken) << item.id;
            EXPECT_EQ((item.style & kReadOnly) == 0, limit >= 0) << item.id;
            EXPECT_EQ((item.style & kNoAutoHScroll) != 0, limit >= 0) << item.id;
            EXPECT_EQ(item.maxLength, std::max(limit, 0)) << item.id;
        }
    }
}

// A UTF-8 literal would show as "Ã¶" in every view; cp1252 captions hold only German letters.
TEST(Layout, CaptionsAreCodePage1252) {
    std::vector<std::string_view> captions = {MainDialog().caption, TextDialog().caption};
    for (const DialogLayout* dialog : {&MainDialog(), &TextDialog()}) {
        for (const Item& item : dialog->items) {
            captions.push_back(item.caption);
        }
    }
    for (const MenuEntry& entry : MainMenu()) {
        captions.push_back(entry.caption);
    }
    for (std::string_view caption : captions) {
        for (char c : caption) {
            EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80 ||
                        std::string_view("\xC4\xD6\xDC\xE4\xF6\xFC\xDF").find(c) !=
                            std::string_view::npos)
                << caption;
        }
    }
}

TEST(Layout, MenuIsBalancedAndCarriesEachCommandOnce) {
    int depth = 0;
    std::multiset<int> commands;
    for (const MenuEntry& entry : MainMenu()) {
        depth += entry.kind == MenuKind::kPopup ? 1 : entry.kind == MenuKind::kEnd ? -1 : 0;
        ASSERT_GE(depth, 0);
        EXPECT_EQ(entry.commandId != 0, entry.kind == MenuKind::kItem) << entry.caption;
        if (entry.kind == MenuKind::kItem) {
            commands.insert(entry.commandId);
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(commands,
              (std::multiset<int>{ids::kMenuInfo, ids::kMenuQuit, ids::kMenuProbePorts,
                                  ids::kMenuSavePrefs, ids::kMenuLoadPrefs, ids::kMenuSendText}));
}

TEST(Layout, SortOrderIgnoresCaseByteWise) {
    struct Case {
        std::string_view a, b;
        bool before;
    };
    const Case cases[] = {{"7", "8", true},        {"8", "7", false},       {"a", "B", true},
                          {"B", "a", false},       {"abc", "ABC", false},   {"ab", "abc", true},
                          {"\xE4", "\xC4", false}, {"Z", "\xE4", true},     {"\xD7", "\xF7", true},
                          {"\xF7", "\xD7", false}, {"COM10", "COM2", true}, {"", "a", true}};
    for (const Case& c : cases) {
        EXPECT_EQ(SortsBefore(c.a, c.b), c.before) << c.a << " < " << c.b;
    }
}

}  // namespace
}  // namespace velotrix::layout
