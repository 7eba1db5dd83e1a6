// Saving a reception without asking: its file name, and the save into a folder that the
// window's "Jeden Empfang sichern in ..." and velotrix-cli's receive share.
#pragma once

#include <string>

#include "serial/engine.h"

namespace velotrix {

// The name the save dialog suggests for the finished reception ("HELLO.Z80", "default.bin"),
// with "-unvollstaendig" before its extension when it is incomplete.
std::string ReceptionFileName(const Engine& engine, bool incomplete);

// Saves the finished reception into the folder (empty: the current one) under ReceptionFileName,
// beside a file of that name under a numbered one ("HELLO-2.Z80"), never replacing a file. The
// result's text is the MessageList line: the file written, or the file and the OS's reason why
// not; file receives the path written, or the one that could not be.
EngineResult SaveReceptionInFolder(Engine& engine, const std::string& folder,
                                   const ReceptionFinishedEvent& finished, std::string& file);

}  // namespace velotrix
