// The bytes a terminal receives, told apart: characters to show, control bytes, and the escape
// sequences of a VT100-like terminal. Sequences it does not know are swallowed whole, and none
// may swallow more than a bounded number of bytes, so that a stray ESC never hides what follows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velotrix {

inline constexpr std::uint8_t kEsc = 0x1B;
// The most bytes an escape or control sequence may take (after ESC), and a string sequence
// (an operating system command, a device control string); beyond them the sequence is dropped
// and the bytes that follow are shown again.
inline constexpr std::size_t kMaxSequenceBytes = 32;
inline constexpr std::size_t kMaxStringBytes = 256;
inline constexpr std::size_t kMaxCsiParameters = 8;
// A larger number in a sequence counts as this.
inline constexpr int kMaxCsiParameter = 9999;

// What one byte asks of the screen.
struct TerminalAction {
    enum class Kind {
        kNone,     // part of a sequence (or a sequence swallowed)
        kPrint,    // a character (any byte of 20h and above that stands outside a sequence)
        kControl,  // a control byte below 20h; also one that arrives inside a sequence
        kCsi,      // a complete control sequence "ESC [ params final" without private marks
    };
    Kind kind = Kind::kNone;
    std::uint8_t byte = 0;  // the character or control byte, or the sequence's final byte
    std::array<int, kMaxCsiParameters> params{};  // 0 where the sequence gave none
    std::size_t paramCount = 0;
};

class TerminalParser {
  public:
    TerminalAction Step(std::uint8_t byte);
    // Forgets a sequence begun (the screen is cleared).
    void Reset() { state_ = State::kGround; }

  private:
    enum class State { kGround, kEscape, kIntermediate, kCsi, kString, kStringEscape };

    TerminalAction Ground(std::uint8_t byte);
    TerminalAction Escape(std::uint8_t byte);
    TerminalAction Csi(std::uint8_t byte);
    TerminalAction String(std::uint8_t byte);
    void Begin(State state);

    State state_ = State::kGround;
    std::size_t length_ = 0;  // bytes of the sequence after ESC
    TerminalAction csi_;
    bool csiIgnored_ = false;  // private marks or intermediates: not one of ours
};

}  // namespace velotrix
