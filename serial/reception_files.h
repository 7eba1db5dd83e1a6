// Saving the finished reception: into a named file, replacing one or beside it, or into a folder
// under the reception's own name; and the texts that tell what the save did.
#pragma once

#include "serial/engine_types.h"
#include "serial/receive_engine.h"

namespace velotrix {

// The name a folder save gives the reception: the one the save dialog suggests ("HELLO.Z80",
// "default.bin"), with "-unvollstaendig" before its extension when it lacks bytes.
std::string ReceptionFileName(const SavableReception& reception);

// Writes the reception where the target says; a reception without bytes is not saved.
SavedReception SaveReceptionTo(const SavableReception& reception, const SaveTarget& target);

}  // namespace velotrix
