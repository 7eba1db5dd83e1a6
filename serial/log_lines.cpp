// The line log's text: time stamps, date lines, and the bytes gathered into lines.
#include "serial/log_lines.h"

#include <algorithm>
#include <cstdio>

#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

using std::chrono::milliseconds;

// "12:00:01.234"
std::string TimeOfDay(milliseconds time) {
    const auto day = std::chrono::floor<std::chrono::days>(time);
    const std::chrono::hh_mm_ss<milliseconds> clock(time - day);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()),
                  static_cast<int>(clock.subseconds().count()));
    return text;
}

// "07.12.2026"
std::string Date(std::chrono::days day) {
    const std::chrono::year_month_day date{std::chrono::sys_days(day)};
    char text[32];
    std::snprintf(text, sizeof text, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return text;
}

}  // namespace

void LogLines::Add(const LogRecord& record, std::string& out) {
    if (record.kind == LogKind::kNote) {
        EndBytes(out);
        // An error's text may hold a line break of its own; each entry stays one line.
        std::string text = record.text;
        std::replace_if(
            text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        const std::string stamp = Stamp(record.time, out);
        out += stamp + Cp1252ToUtf8(text);
        out += '\n';
        return;
    }
    for (std::size_t i = 0; i < record.count; ++i) {
        AddByte(record.kind, record.bytes[i], record.time, out);
    }
}

void LogLines::AddByte(LogKind kind, std::uint8_t byte, milliseconds time, std::string& out) {
    // A clock set back also begins a line, so that no line's time stamp lies about its bytes.
    if (gatheredBytes_ == kLogBytesPerLine || kind != gatheringKind_ ||
        time - lastByte_ >= kLogSilence || time < lastByte_) {
        EndBytes(out);
    }
    if (gatheredBytes_ == 0) {
        gathering_ = Stamp(time, out);
        gathering_ += kind == LogKind::kTx ? "TX" : "RX";
        gatheringKind_ = kind;
    }
    gathering_ += ' ';
    gathering_ += Hex2(byte);
    ++gatheredBytes_;
    lastByte_ = time;
}

void LogLines::EndBytes(std::string& out) {
    if (gatheredBytes_ == 0) {
        return;
    }
    out += gathering_;
    out += '\n';
    gathering_.clear();
    gatheredBytes_ = 0;
    gatheringKind_ = LogKind::kNote;
}

void LogLines::EndBytesIfSilent(milliseconds now, std::string& out) {
    if (gatheredBytes_ > 0 && now - lastByte_ >= kLogSilence) {
        EndBytes(out);
    }
}

std::string LogLines::Stamp(milliseconds time, std::string& out) {
    const auto day = std::chrono::floor<std::chrono::days>(time);
    std::string stamp = TimeOfDay(time) + ' ';
    if (day_ != day) {
        day_ = day;
        out += stamp + Cp1252ToUtf8(msg::kLogDate) + Date(day) + '\n';
    }
    return stamp;
}

}  // namespace velotrix
