// The types of the engine's calls, for every face: where the engine finds devices, the rows of
// the port list, what a load found, a rewrite of the loaded file, the switches of a send, where a
// reception is saved and what the save did, and the clocks and pauses that tests replace.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "image/file_format.h"
#include "platform/file_io.h"
#include "platform/serial_device.h"
#include "serial/engine_events.h"

namespace velotrix {

// Where the engine finds serial devices; tests hand it fake ones.
struct DeviceAccess {
    std::function<std::vector<PortInfo>()> listPorts = ListSerialDevices;
    std::function<OsResult<std::unique_ptr<SerialDevice>>(const std::string& path)> openDevice =
        OpenSerialDevice;
    // Whether a path is a link that names one device on purpose (/dev/serial/by-id/...).
    std::function<bool(const std::string& path)> isLink = IsNamedLink;
    // Who holds a device that an open found busy.
    std::function<PortHolder(const std::string& path)> findHolder = FindPortHolder;
};

// The program's own devices, with the port list begun at once on a thread of its own for the
// first who asks; later lists are made when asked. A window's start lists the ports while its
// controls are still being built: on Linux the list reads the kernel's lock table, whose first
// read in a process waits several milliseconds for the kernel.
DeviceAccess DevicesListedAhead();

enum class PortState { kFree, kBusy, kNoPermission, kUnusable };

// A row of the port list: a serial device, what the system tells of it, and why it cannot be
// opened now.
struct PortRow {
    PortInfo port;
    PortState state = PortState::kFree;
    std::string reason;  // code page 1252; empty for a free port
};

// What a load found, besides the result.
struct LoadOutcome {
    EngineResult result;
    bool loaded = false;
    FormatKind kind = FormatKind::kBin;  // the format that read the file
    std::size_t filledBytes = 0;         // gap bytes of a HEX file filled with 00h
    // Why the file could not be read, where the window shows no box for it.
    FileReadStatus fileStatus = FileReadStatus::kRead;
    int osError = 0;
};

// Why a load failed, as a person reads it behind the file's name (code page 1252): the load's own
// text, or that the file is no regular file, or the OS's text.
std::string LoadFailureText(const LoadOutcome& outcome);
// What the window's "Art" field shows after a load: "Geladen: BIN", "Geladen: z80", "Geladen: HEX".
std::string_view LoadedKindText(FormatKind kind);
// The MessageList line a load of a HEX file adds (how many gap bytes were filled); empty for
// others.
std::string LoadNoteLine(const LoadOutcome& outcome);

// A rewritten file, loaded again; or why the loaded file cannot be watched.
struct FileRewritten {
    LoadOutcome outcome;  // of loading it again with the header edits kept
    // A continuous send runs: its next pass takes the new version, no send is to start.
    bool passTakesIt = false;
    // False when the watch of a newly loaded file could not start (outcome.result says why);
    // nothing was loaded then.
    bool watching = true;
};
using RewriteHandler = std::function<void(const FileRewritten& rewritten)>;

// What ends each line of a text: the home computer's keyboard takes a line with CR (most), CR+LF
// or LF; none sends the text as it was typed.
enum class LineEnd { kNone, kCr, kCrLf, kLf };

// The longest pause a person may type after a byte or a line, in milliseconds.
inline constexpr int kMaxDelayMs = 10000;

// The switches that shape a send, as they stand.
struct SendSwitches {
    bool continuous = false;   // "Endlos senden"
    bool binMode = false;      // "als BIN senden (o. Header)"
    bool showProgress = true;  // "Fortschrittsanzeige"
    // For home computers without handshake: silence on the line after each byte of a send, and
    // after each line end of a text, so that the machine keeps up.
    int charDelayMs = 0;
    int lineDelayMs = 0;
    // Appended to the text of "String senden" (and to each line of a text file, and of HEX text).
    LineEnd lineEnd = LineEnd::kNone;
    // "als HEX senden": the file goes out as Intel HEX text, this many data bytes a record (16 or
    // 32), each record a line; 0: not as HEX.
    int hexRecordBytes = 0;
};

// Where a save puts the finished reception (paths in UTF-8).
struct SaveTarget {
    enum class Kind {
        kFile,     // the file at path, replacing one of that name
        kNewFile,  // the file at path or, where a file has that name, the first free numbered name
                   // beside it ("HELLO-2.Z80"); never replaces a file
        kFolder,   // the folder at path (empty: the current one), under the name the save dialog
                   // suggests, with "-unvollstaendig" when the reception lacks bytes; beside a
                   // file of that name as kNewFile
    };
    Kind kind = Kind::kFile;
    std::string path;
    // A reception of Intel HEX text as its decoded data ("default_4000.bin") instead of the text
    // as it came; refused for any other reception and for HEX text that is damaged.
    bool decoded = false;
    // A new file readable by the user alone (the bytes rescued into the temp folder).
    bool privately = false;
};

// What a save did.
struct SavedReception {
    // For a box: the file written, or why not, ending with the OS's reason.
    EngineResult result;
    // For the MessageList: "Gesichert als FILE", or "Nicht gesichert: FILE: reason".
    std::string line;
    // The file the target named (UTF-8), and the one written, which differs from it when a file
    // had that name; written is empty when nothing was written.
    std::string asked;
    std::string written;
};

// Pauses the receive thread after a line error; returns early once stopped() is true.
using ReceivePause =
    std::function<void(std::chrono::milliseconds duration, const std::function<bool()>& stopped)>;

// The line log's clock: local wall time by default; tests give it a virtual one.
using LogClock = std::function<std::chrono::milliseconds()>;

}  // namespace velotrix
