// The line log's text: what the log was told (bytes in one direction, events) turned into the lines
// a person reads, "12:00:01.234 RX 00 40 09 40 ...".
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace velotrix {

// Bytes a line of the log shows at most, and the silence after which the next byte begins a line.
inline constexpr std::size_t kLogBytesPerLine = 16;
inline constexpr std::chrono::milliseconds kLogSilence{100};

enum class LogKind : std::uint8_t { kTx, kRx, kNote };

// What the log was told at one moment: up to a line's worth of bytes in one direction, or an
// event's text (code page 1252). time is local wall time (see LocalWallTime).
struct LogRecord {
    std::chrono::milliseconds time{};
    LogKind kind = LogKind::kNote;
    std::uint8_t count = 0;
    std::array<std::uint8_t, kLogBytesPerLine> bytes{};
    std::string text;
};

// Turns records, in the order they happened, into lines (UTF-8, each ending in '\n'). A line of
// bytes is held back until it is full, the direction changes, an event comes between, or the line
// has been silent long enough; before the first line and whenever the day changes, a line names
// the date.
class LogLines {
  public:
    void Add(const LogRecord& record, std::string& out);
    // Ends the line of bytes being gathered.
    void EndBytes(std::string& out);
    // Ends it when its last byte came at least the silence before now.
    void EndBytesIfSilent(std::chrono::milliseconds now, std::string& out);

  private:
    void AddByte(LogKind kind, std::uint8_t byte, std::chrono::milliseconds time, std::string& out);
    // The time stamp that begins a line; first a line with the date into out when the day is new.
    std::string Stamp(std::chrono::milliseconds time, std::string& out);

    std::string gathering_;  // the line of bytes being gathered, without its end
    LogKind gatheringKind_ = LogKind::kNote;
    std::size_t gatheredBytes_ = 0;
    std::chrono::milliseconds lastByte_{};
    std::optional<std::chrono::days> day_;
};

}  // namespace velotrix
