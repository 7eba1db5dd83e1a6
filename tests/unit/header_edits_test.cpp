// The user's header edits carried over to a file loaded again: an edit stays while the file still
// gives its field the value it gave before.
#include <gtest/gtest.h>

#include <sstream>

#include "image/header_edits.h"
#include "support/rig.h"
#include "text/text_helpers.h"

namespace velotrix::test {
namespace {

// Headers as "AADR SADR NAME TYPE"; the file loaded again holds 50 data bytes.
struct EditRow {
    const char* name;
    const char* asLoaded;  // what the earlier load gave
    const char* edited;    // what the user made of it
    const char* reloaded;  // what the file gives now
    const char* kept;      // "AADR EADR SADR NAME TYPE" afterwards
};

void Fill(HeaderBytes header, const char* fields) {
    std::istringstream in(fields);
    std::string aadr, sadr, name, type;
    in >> aadr >> sadr >> name >> type;
    SetHeaderAadr(header, HexToValue(aadr));
    SetHeaderSadr(header, HexToValue(sadr));
    SetHeaderName(header, name);
    SetHeaderTypeLetter(header, type[0]);
}

HeaderCopy Header(const char* fields) {
    HeaderCopy copy{};
    Fill(HeaderBytes(copy), fields);
    return copy;
}

// clang-format off
const EditRow kRows[] = {
    {"no edits, the new file's header", "4000 4000 A P", "4000 4000 A P", "4000 4000 A P", "4000 4031 4000 A P"},
    {"every edit kept", "4000 4000 A P", "8000 8003 NEU B", "4000 4000 A P", "8000 8031 8003 NEU B"},
    {"a load address the file changed is the file's", "4000 4000 A P", "8000 4000 A P", "5000 4000 A P", "5000 5031 4000 A P"},
    {"a name the file changed is the file's, the address edit stays", "4000 4000 A P", "8000 4000 NEU P", "4000 4000 B P", "8000 8031 4000 B P"},
    {"a start address and a type the file changed are the file's", "4000 4000 A P", "4000 9000 A B", "4000 4100 A C", "4000 4031 4100 A C"},
    {"an edit back to the file's value is none", "4000 4000 A P", "4000 4000 A P", "5000 5000 B C", "5000 5031 5000 B C"},
};
// clang-format on

class HeaderEdits : public ::testing::TestWithParam<EditRow> {};

TEST_P(HeaderEdits, StayWhileTheFileGivesTheSameField) {
    TxImage tx;
    tx.loaded = true;
    tx.dataLength = 50;
    Fill(tx.Header(), GetParam().reloaded);
    SetImageLoadAddress(tx, HeaderAadr(tx.Header()));  // as the load makes it
    KeepHeaderEdits(tx, Header(GetParam().asLoaded), Header(GetParam().edited));
    std::string name = HeaderName(tx.Header());
    TrimText(name);
    EXPECT_EQ(Hex4(HeaderAadr(tx.Header())) + " " + Hex4(HeaderEadr(tx.Header())) + " " +
                  Hex4(HeaderSadr(tx.Header())) + " " + name + " " + HeaderTypeLetter(tx.Header()),
              GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Rows, HeaderEdits, ::testing::ValuesIn(kRows), RowName<EditRow>);

}  // namespace
}  // namespace velotrix::test
