// The adapter self-test: the pattern, its comparison with what comes back, and the report.
#include "serial/self_tester.h"

#include <algorithm>
#include <utility>

#include "serial/receive_thread.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

// Once bytes come back, this much silence ends the test: longer than the receive thread's pause
// after a line error, so that the bytes behind an error still count.
constexpr std::chrono::milliseconds kSilenceAfterAnswer =
    kLineErrorPause + std::chrono::milliseconds(500);
// A byte that does not match is taken as lost bytes when the pattern has it this few bytes on.
constexpr std::size_t kLossLookAhead = 16;
constexpr std::uint32_t kMostRounds = 16;
// After the report the pattern may still come back: for as long as it takes on the line, and a
// second more; each late batch waits that second again.
constexpr std::chrono::milliseconds kLateEchoMargin{1000};

std::string Count(std::string_view label, std::uint32_t value) {
    return std::string(label) + std::to_string(value);
}

}  // namespace

std::vector<std::uint8_t> SelfTestPattern(const AppliedSettings& applied) {
    const std::uint32_t bytesPerSecond =
        applied.baudRate / static_cast<std::uint32_t>(BitsPerByte(applied));
    const std::uint32_t rounds = std::clamp<std::uint32_t>(bytesPerSecond / 256, 1, kMostRounds);
    std::vector<std::uint8_t> pattern(rounds * 256);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<std::uint8_t>(i);
    }
    return pattern;
}

SelfTester::~SelfTester() {
    Cancel();
}

bool SelfTester::Start(std::vector<std::uint8_t> pattern, const AppliedSettings& applied) {
    EndLateEcho();
    if (!slot_.Install(*this)) {
        return false;
    }
    pattern_ = std::move(pattern);
    mask_ = static_cast<std::uint8_t>((1u << std::clamp(applied.dataBits, 1, 8)) - 1);
    bitsPerByte_ = BitsPerByte(applied);
    next_ = 0;
    pendingSkip_ = 0;
    received_ = 0;
    afterFirst_ = 0;
    report_ = {};
    report_.sent = static_cast<std::uint32_t>(pattern_.size());
    report_.expectedBaud = applied.baudRate;
    slot_.WaitForSilence(*this, kSelfTestNoAnswer);
    return true;
}

std::uint8_t SelfTester::Expected(std::size_t index) const {
    return static_cast<std::uint8_t>(pattern_[index] & mask_);
}

void SelfTester::OnBytes(std::span<const std::uint8_t> batch) {
    if (lingering_) {
        std::size_t late = 0;
        while (late < batch.size() && LateEcho(batch[late])) {
            ++late;
        }
        lateDropped_ += static_cast<std::uint32_t>(late);
        if (late == batch.size()) {
            slot_.WaitForSilence(*this, kLateEchoMargin);
            return;
        }
        // The rest is no echo of the test: the reception takes it.
        EndLateEcho();
        slot_.TakeBytes(batch.subspan(late));
        return;
    }
    const std::chrono::milliseconds now = events_.Loop().Now();
    if (received_ == 0) {
        report_.answered = true;
        firstAt_ = now;
    } else {
        afterFirst_ += static_cast<std::uint32_t>(batch.size());
    }
    lastAt_ = now;
    received_ += static_cast<std::uint32_t>(batch.size());
    for (const std::uint8_t byte : batch) {
        Compare(byte);
    }
    if (next_ == pattern_.size()) {
        Finish();
    } else {
        slot_.WaitForSilence(*this, kSilenceAfterAnswer);
    }
}

// A byte that the pattern holds a little further on means that those before it were lost, once
// the byte behind it confirms the place; else it was changed on the way (a flipped low bit often
// gives a value the pattern holds a few bytes on).
void SelfTester::Compare(std::uint8_t byte) {
    if (pendingSkip_ != 0) {
        const std::size_t skip = std::exchange(pendingSkip_, 0);
        if (next_ + skip + 1 < pattern_.size() && byte == Expected(next_ + skip + 1)) {
            report_.lost += static_cast<std::uint32_t>(skip);
            next_ += skip + 2;
            return;
        }
        ++report_.changed;
        ++next_;
    }
    if (next_ >= pattern_.size()) {
        ++report_.changed;  // more came back than went out
        return;
    }
    std::size_t skip = 0;
    while (skip <= kLossLookAhead && next_ + skip < pattern_.size() &&
           Expected(next_ + skip) != byte) {
        ++skip;
    }
    if (skip == 0 || (skip <= kLossLookAhead && next_ + skip + 1 == pattern_.size())) {
        report_.lost += static_cast<std::uint32_t>(skip);
        next_ += skip + 1;
    } else if (skip <= kLossLookAhead && next_ + skip < pattern_.size()) {
        pendingSkip_ = skip;
    } else {
        ++report_.changed;
        ++next_;
    }
}

void SelfTester::OnLineErrors(const LineErrors& errors) {
    if (!errors.Any() || lingering_) {
        return;
    }
    // Something came back, if garbled: the bytes it disturbed count as lost.
    report_.answered = true;
    report_.parityErrors += errors.parity ? 1 : 0;
    report_.framingErrors += errors.framing ? 1 : 0;
    slot_.WaitForSilence(*this, kSilenceAfterAnswer);
}

void SelfTester::Cancel() {
    lingering_ = false;
    slot_.Remove(*this);
}

void SelfTester::OnSilence() {
    if (lingering_) {
        EndLateEcho();
    } else {
        Finish();
    }
}

bool SelfTester::LateEcho(std::uint8_t byte) {
    // The pattern goes on where the comparison stopped, or comes back whole after the test gave up.
    if (lateDropped_ == 0 && lateNext_ < pattern_.size() && byte != Expected(lateNext_)) {
        lateNext_ = 0;
    }
    if (lateNext_ >= pattern_.size() || byte != Expected(lateNext_)) {
        return false;
    }
    ++lateNext_;
    return true;
}

void SelfTester::EndLateEcho() {
    if (!lingering_) {
        return;
    }
    Cancel();
    if (lateDropped_ > 0) {
        events_.Emit(
            LinesEvent{{std::string(msg::kSelfTestLateEchoPrefix) + std::to_string(lateDropped_) +
                        std::string(msg::kSelfTestLateEchoSuffix)},
                       true});
    }
}

void SelfTester::Finish() {
    // A byte still waiting for its confirmation was changed.
    if (std::exchange(pendingSkip_, 0) != 0) {
        ++report_.changed;
        ++next_;
    }
    report_.lost += static_cast<std::uint32_t>(pattern_.size() - next_);
    const auto span = (lastAt_ - firstAt_).count();
    if (afterFirst_ > 0 && span > 0) {
        report_.reachedBaud = static_cast<std::uint32_t>(static_cast<std::uint64_t>(afterFirst_) *
                                                         static_cast<std::uint64_t>(bitsPerByte_) *
                                                         1000u / static_cast<std::uint64_t>(span));
    }
    // The pattern's rest that still comes back is the test's, never a reception.
    lingering_ = true;
    lateNext_ = next_;
    lateDropped_ = 0;
    const auto patternTime = std::chrono::milliseconds(
        static_cast<std::uint64_t>(pattern_.size()) * static_cast<std::uint64_t>(bitsPerByte_) *
        1000u / std::max<std::uint64_t>(report_.expectedBaud, 1));
    slot_.WaitForSilence(*this, patternTime + kLateEchoMargin);
    events_.Emit(SelfTestEndedEvent{report_});
}

std::vector<std::string> SelfTestLines(const SelfTestReport& report) {
    if (!report.answered) {
        return {std::string(msg::kSelfTestNoAnswer)};
    }
    const std::string reached =
        report.reachedBaud == 0
            ? std::string(msg::kSelfTestNotMeasured)
            : std::to_string(report.reachedBaud) + std::string(msg::kSelfTestBaudReached);
    return {Count(msg::kSelfTestSent, report.sent),
            Count(msg::kSelfTestLost, report.lost),
            Count(msg::kSelfTestChanged, report.changed),
            Count(msg::kSelfTestParity, report.parityErrors),
            Count(msg::kSelfTestFraming, report.framingErrors),
            std::string(msg::kSelfTestRate) + reached + std::to_string(report.expectedBaud) +
                std::string(msg::kSelfTestBaudExpected),
            std::string(report.Passed() ? msg::kSelfTestPassed : msg::kSelfTestFailed)};
}

}  // namespace velotrix
