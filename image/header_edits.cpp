// Carrying the user's header edits over to the file loaded again.
#include "image/header_edits.h"

#include <algorithm>

namespace velotrix {

HeaderCopy CopyHeader(const TxImage& tx) {
    HeaderCopy copy{};
    std::copy_n(tx.image.begin(), kHeaderSize, copy.begin());
    return copy;
}

void KeepHeaderEdits(TxImage& tx, const HeaderCopy& asLoaded, const HeaderCopy& edited) {
    const ConstHeaderBytes before(asLoaded);
    const ConstHeaderBytes mine(edited);
    const HeaderCopy reloaded = CopyHeader(tx);
    const ConstHeaderBytes now(reloaded);
    const auto kept = [&](auto field) {
        return field(mine) != field(before) && field(now) == field(before);
    };
    if (kept(HeaderAadr)) {
        SetImageLoadAddress(tx, HeaderAadr(mine));
    }
    if (kept(HeaderSadr)) {
        SetHeaderSadr(tx.Header(), HeaderSadr(mine));
    }
    if (kept(HeaderName)) {
        SetImageName(tx, HeaderName(mine));
    }
    if (kept(HeaderTypeLetter)) {
        SetHeaderTypeLetter(tx.Header(), HeaderTypeLetter(mine));
    }
}

}  // namespace velotrix
