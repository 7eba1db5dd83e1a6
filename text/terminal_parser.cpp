// Telling characters, control bytes and escape sequences apart, one byte at a time.
#include "text/terminal_parser.h"

#include <algorithm>

namespace velotrix {

namespace {

constexpr std::uint8_t kBel = 0x07;
constexpr std::uint8_t kCan = 0x18;
constexpr std::uint8_t kSub = 0x1A;
constexpr std::uint8_t kDel = 0x7F;

bool IsControl(std::uint8_t byte) {
    return byte < 0x20;
}

// The sequences whose text runs up to BEL or ESC \: operating system commands (a window title),
// device control strings, and three kinds no terminal of ours uses.
bool OpensString(std::uint8_t byte) {
    return byte == ']' || byte == 'P' || byte == 'X' || byte == '^' || byte == '_';
}

TerminalAction Control(std::uint8_t byte) {
    return {TerminalAction::Kind::kControl, byte, {}, 0};
}

}  // namespace

void TerminalParser::Begin(State state) {
    state_ = state;
    if (state == State::kCsi) {
        csi_ = {TerminalAction::Kind::kCsi, 0, {}, 0};
        csiIgnored_ = false;
    }
}

TerminalAction TerminalParser::Step(std::uint8_t byte) {
    if (state_ == State::kGround) {
        return Ground(byte);
    }
    const bool inString = state_ == State::kString || state_ == State::kStringEscape;
    if (++length_ > (inString ? kMaxStringBytes : kMaxSequenceBytes)) {
        // Too long for anything a terminal sends: what follows is shown again.
        state_ = State::kGround;
        return Ground(byte);
    }
    if (inString) {
        return String(byte);
    }
    if (byte == kEsc) {
        // A new sequence begins; the unfinished one is dropped.
        length_ = 0;
        Begin(State::kEscape);
        return {};
    }
    if (byte == kCan || byte == kSub) {
        state_ = State::kGround;
        return {};
    }
    if (IsControl(byte)) {
        // Carried out in the midst of a sequence, as a VT100 does.
        return Control(byte);
    }
    if (byte == kDel) {
        return {};
    }
    if (byte >= 0x80) {
        // Code page 1252 has characters here, which no sequence holds.
        state_ = State::kGround;
        return Ground(byte);
    }
    return state_ == State::kCsi ? Csi(byte) : Escape(byte);
}

TerminalAction TerminalParser::Ground(std::uint8_t byte) {
    if (byte == kEsc) {
        length_ = 0;
        Begin(State::kEscape);
        return {};
    }
    if (IsControl(byte)) {
        return Control(byte);
    }
    return {TerminalAction::Kind::kPrint, byte, {}, 0};
}

TerminalAction TerminalParser::Escape(std::uint8_t byte) {
    if (byte < 0x30) {
        // Intermediate bytes: a character set designation and its kin follow.
        Begin(State::kIntermediate);
    } else if (state_ == State::kEscape && byte == '[') {
        Begin(State::kCsi);
    } else if (state_ == State::kEscape && OpensString(byte)) {
        Begin(State::kString);
    } else {
        state_ = State::kGround;
    }
    return {};
}

TerminalAction TerminalParser::Csi(std::uint8_t byte) {
    if (byte >= '0' && byte <= '9') {
        csi_.paramCount = std::max<std::size_t>(csi_.paramCount, 1);
        if (csi_.paramCount <= kMaxCsiParameters) {
            int& param = csi_.params[csi_.paramCount - 1];
            param = std::min(param * 10 + (byte - '0'), kMaxCsiParameter);
        }
    } else if (byte == ';') {
        // Parameters beyond the last one kept are counted but not stored.
        csi_.paramCount = std::max<std::size_t>(csi_.paramCount, 1) + 1;
    } else if (byte < 0x40) {
        // Private marks, sub-parameters and intermediates: another terminal's sequence.
        csiIgnored_ = true;
    } else {
        state_ = State::kGround;
        if (csiIgnored_) {
            return {};
        }
        TerminalAction action = csi_;
        action.byte = byte;
        action.paramCount = std::min(action.paramCount, kMaxCsiParameters);
        return action;
    }
    return {};
}

TerminalAction TerminalParser::String(std::uint8_t byte) {
    if (state_ == State::kStringEscape) {
        if (byte == '\\') {
            state_ = State::kGround;
            return {};
        }
        // ESC and another byte: not the string's end but a new sequence.
        length_ = 0;
        Begin(State::kEscape);
        return Step(byte);
    }
    if (byte == kEsc) {
        state_ = State::kStringEscape;
    } else if (byte == kBel || byte == kCan || byte == kSub) {
        state_ = State::kGround;
    }
    return {};
}

}  // namespace velotrix
