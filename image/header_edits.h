// The user's edits of a loaded file's header, carried over when the file is loaded again.
#pragma once

#include <cstdint>

#include "image/tx_image.h"

namespace velotrix {

HeaderCopy CopyHeader(const TxImage& tx);

// tx holds the file just loaded again. Each field the user had changed (load address, start
// address, name, type: edited differs from asLoaded, the header the earlier load gave) is set
// again, as long as the file still gives that field the value it gave then; a field the file
// itself changed takes the file's new value. The end address follows the load address and the
// new length.
void KeepHeaderEdits(TxImage& tx, const HeaderCopy& asLoaded, const HeaderCopy& edited);

}  // namespace velotrix
