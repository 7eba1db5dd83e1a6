// The walk of the window: every command a person can give it has a row of the window's tables that
// fails when the person's use of it does nothing, and every entry of every list it offers has a
// row that sees what choosing it does.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <set>

#include "support/rig.h"
#include "support/rig_words.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"
#include "ui-resources/layout.h"

namespace velotrix::test {
namespace {

struct Command {
    int id;
    std::string name;
};

// What a person can do at the window: each control of both dialogs that Tab reaches (but the
// MessageList, which only shows), each menu command, and the keys.
std::vector<Command> PersonCommands() {
    std::vector<Command> commands;
    for (const layout::DialogLayout* dialog : {&layout::MainDialog(), &layout::TextDialog()}) {
        for (const layout::Item& item : dialog->items) {
            if (layout::IsTabStop(item) && item.kind != layout::ItemKind::kListBox) {
                commands.push_back(
                    {item.id, "control " + std::to_string(item.id) + " " + NameOf(item.id)});
            }
        }
    }
    for (const layout::MenuEntry& entry : layout::MainMenu()) {
        if (entry.kind == layout::MenuKind::kItem) {
            commands.push_back({entry.commandId, "menu \"" + std::string(entry.caption) + "\""});
        }
    }
    commands.push_back({ids::kCancel, "Escape"});
    commands.push_back({ids::kCloseBox, "the close box"});
    commands.push_back({HeadlessView::kTabKey, "Tab"});
    commands.push_back({HeadlessView::kEnterKey, "Enter"});
    return commands;
}

struct Played {
    std::set<int> used;
    bool failed = false;
};

// A row with the person's use of one command doing nothing (0: none), its failures kept quiet.
Played Play(const TableRow& row, int ignored) {
    ::testing::TestPartResultArray failures;
    Played played;
    {
        const ::testing::ScopedFakeTestPartResultReporter quiet(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
        Rig rig(Rig::Face::kWindow, row.ports);
        rig.view.SetTrace({{}, ignored});
        rig.Do(row.steps);
        rig.Expect(row.shown);
        played.used = rig.view.Trace().used;
    }
    played.failed = failures.size() > 0;
    return played;
}

TEST(WindowWalk, EveryCommandHasARowThatFailsWithoutIt) {
    std::vector<std::pair<const TableRow*, std::set<int>>> rows;
    const std::vector<TableRow> all = WindowRows();
    for (const TableRow& row : all) {
        rows.emplace_back(&row, Play(row, 0).used);
    }
    for (const Command& command : PersonCommands()) {
        std::string passing;
        bool seen = false;
        for (const auto& [row, used] : rows) {
            if (used.contains(command.id)) {
                seen = Play(*row, command.id).failed;
                if (seen) {
                    break;
                }
                passing += std::string(passing.empty() ? "" : ", ") + "\"" + row->name + "\"";
            }
        }
        EXPECT_TRUE(seen) << command.name << ": no row of the window's tables sees what it does"
                          << (passing.empty() ? " (no row uses it)"
                                              : "; these pass without it: " + passing);
    }
}

// A list of the window, the steps that show what choosing an entry does ("$": the entry, as the
// list shows it), and what each entry shows then, after what all of them show.
struct ListRow {
    const char* list;
    const char* steps;
    const char* common;
    std::vector<std::pair<std::string, std::string>> entries;
};

const char* const kSentAll =
    "Senden mit Header als 'z80'...|132 Bytes zu senden:|Sende Header...|Bytes gesendet: 32|";
const char* const kSentDone =
    "|Sende Daten...|Bytes gesendet: 100|Datei fertig \xFC"
    "bertragen";

// clang-format off
const ListRow kLists[] = {
    {"baud", "select baud $; click COM", "line=$ N 8 1 - open",
     {{"150", ""}, {"300", ""}, {"600", ""}, {"1200", ""}, {"1800", ""}, {"2400", ""},
      {"4800", ""}, {"9600", ""}, {"14400", ""}, {"19200", ""}, {"38400", ""}, {"56000", ""},
      {"57600", ""}, {"115200", ""}}},
    {"parity", "select parity $; click COM", "",
     {{"gerade", "line=4800 E 8 1 - open"},
      {"ungerade", "line=4800 O 8 1 - open"},
      {"keine", "line=4800 N 8 1 - open"}}},
    {"data", "select data $; click COM", "line=4800 N $ 1 - open", {{"7", ""}, {"8", ""}}},
    {"stop", "select stop $; click COM", "line=4800 N 8 $ - open", {{"1", ""}, {"2", ""}}},
    {"flow", "select flow $; click COM", "",
     {{"keine", "line=4800 N 8 1 - open\nshown:cts=0"},
      {"CTS", "line=4800 N 8 1 cts open\nshown:cts=1"}}},
    {"pause", "select pause $; click COM; load A.bin 100; click send; idle; gap $", "",
     {{"keine",
       "list=Senden mit Header als 'z80'...|132 Bytes zu senden:|Senden l\xE4uft, bitte "
       "warten...|Bytes gesendet: 132|Datei fertig \xFC"
       "bertragen"},
      {"50 ms", std::string("list=") + kSentAll + "Pause 50ms..." + kSentDone},
      {"100 ms", std::string("list=") + kSentAll + "Pause 100ms..." + kSentDone},
      {"500 ms", std::string("list=") + kSentAll + "Pause 500ms..." + kSentDone},
      {"1000 ms", std::string("list=") + kSentAll + "Pause 1000ms..." + kSentDone}}},
    {"txType", "click COM; load A.bin 32; select txType $; click send; idle", "",
     {{"P = Maschinenprogramm", "head=00 40 1F 40 00 40 41 43 31 4B 5A 56 50 D3*"},
      {"B = Basic-Programm", "head=00 40 1F 40 00 40 41 43 31 4B 5A 56 42 D3*"},
      {"F = Basic-Feld", "head=00 40 1F 40 00 40 41 43 31 4B 5A 56 46 D3*"},
      {"Q = Quelle (EDAS)", "head=00 40 1F 40 00 40 41 43 31 4B 5A 56 51 D3*"},
      {"T = Text", "head=00 40 1F 40 00 40 41 43 31 4B 5A 56 54 D3*"},
      {"D = Daten (allgem.)", "head=00 40 1F 40 00 40 41 43 31 4B 5A 56 44 D3*"},
      {"A = ausf\xFChrbar, Auto", "head=00 40 1F 40 00 40 41 43 31 4B 5A 56 41 D3*"},
      {"C = ausf\xFChrbar", "head=00 40 1F 40 00 40 41 43 31 4B 5A 56 43 D3*"},
      {"Unbekannt", "head=00 40 1F 40 00 40 41 43 31 4B 5A 56 55 D3*"}}},
    {"charDelay",
     "select charDelay $; click COM; click sendText; type text ABC; click textSend; idle; gaps $ 0",
     "sent=ABC\npacing=$ 0 0",
     {{"0", ""}, {"1", ""}, {"2", ""}, {"5", ""}, {"10", ""}, {"20", ""}}},
    {"lineDelay", "select lineDelay $; command eolCr; click COM; textfile A.txt 1\n2\n; idle; gaps 0 $",
     "sent=1\r2\r\npacing=0 $ 1",
     {{"0", ""}, {"10", ""}, {"20", ""}, {"50", ""}, {"100", ""}, {"200", ""}, {"500", ""}}},
};
// clang-format on

class ListWalk : public ::testing::TestWithParam<ListRow> {};

TEST_P(ListWalk, EveryEntryHasARowThatSeesWhatItDoes) {
    const ListRow& row = GetParam();
    const int id = IdOf(row.list);
    std::set<std::string> listed;
    Rig shown(Rig::Face::kWindow);
    for (int index = 0; index < shown.view.ComboCount(id); ++index) {
        std::string entry = shown.view.ComboItem(id, index);
        TrimText(entry);
        listed.insert(entry);
        const auto found = std::find_if(row.entries.begin(), row.entries.end(),
                                        [&entry](const auto& e) { return e.first == entry; });
        if (found == row.entries.end()) {
            ADD_FAILURE() << "the list " << row.list << " offers \"" << entry
                          << "\", and no row of the walk chooses it";
            continue;
        }
        SCOPED_TRACE(entry);
        Rig rig(Rig::Face::kWindow);
        rig.Do(Replaced(row.steps, "$", entry));
        rig.Expect(Replaced(row.common, "$", entry));
        rig.Expect(found->second);
    }
    for (const auto& [entry, _] : row.entries) {
        EXPECT_TRUE(listed.contains(entry))
            << "the list " << row.list << " has no \"" << entry << "\"";
    }
}

std::string ListName(const ::testing::TestParamInfo<ListRow>& row) {
    return row.param.list;
}

INSTANTIATE_TEST_SUITE_P(Lists, ListWalk, ::testing::ValuesIn(kLists), ListName);

}  // namespace
}  // namespace velotrix::test
