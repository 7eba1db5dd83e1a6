// The window in English: the same rows as a German user's, in the other column of the table.
#include <gtest/gtest.h>

#include "support/rig.h"
#include "ui-resources/language.h"

namespace velotrix::test {
namespace {

class EnglishWindow : public ::testing::TestWithParam<TableRow> {
  protected:
    void SetUp() override { msg::SetLanguage(msg::Language::kEnglish); }
    void TearDown() override { msg::SetLanguage(msg::Language::kGerman); }
};

TEST_P(EnglishWindow, ShowsWhatThePersonDid) {
    RunRow(GetParam());
}

// clang-format off
const TableRow kRows[] = {
    {"start", {"COM1", "COM4"}, "", "port=COM4\nparity=none\nflow=none\npause=none\nCOM=Open COM\npane0=Buffer:\non:load=0\nlist="},
    {"open with the chosen settings", {"ttyS0"}, "select parity even; select flow CTS; click COM", "COM=Close COM\nline=4800 E 8 1 cts open\non:load=1\nboxes=0"},
    {"close during a reception", {"ttyS0"}, "click COM; feed 50; click COM; advance 1000", "on:save=1\ntail=47 dashes|Bytes received in total: 50|Save with the button"},
    {"loopback test", {"ttyS0"}, "loop; click COM; command selftest; back", "box=Loopback test - Bytes sent: 256|Bytes lost: 0|Bytes changed: 0|Parity errors: 0|Framing errors: 0|Rate: not measurable, 4800 baud expected|Loopback test passed"},
    {"nothing to send", {"ttyS0"}, "click COM; click send", "box=Error! - Nothing there to send."},
    {"the short guide names the language", {"ttyS0"}, "click info", "box=V.24 Velotrix V. 0.8 - Data exchange with another computer over V.24\rAC1, LLC2, ...\r\rQuick guide:\r1. Choose the line settings, <Open COM>\r2. Velotrix is now ready to receive.\r3. After >1 s of silence following the last byte received, the receive buffer\r    is closed and can be stored as a file with <SAVE>.\r4. To send: <Load BIN/z80> and <Send file> :-)\r5. When a BIN was loaded, a z80 header is made automatically.\r    Adjust the header data if needed (addresses, name, type).\r\rLanguage: English (VELOTRIX_LANG=de: Deutsch)"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, EnglishWindow, ::testing::ValuesIn(kRows), RowName<TableRow>);

}  // namespace
}  // namespace velotrix::test
