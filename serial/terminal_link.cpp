// Which bytes are the terminal's, and the prompt a send waits for.
#include "serial/terminal_link.h"

#include <utility>

#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

std::string PromptTimeoutLine(const PromptEvent& event) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(event.timeout).count();
    return std::string(msg::kPromptTimeoutPrefix) + event.prompt +
           std::string(msg::kPromptTimeoutMiddle) + std::to_string(seconds) +
           std::string(msg::kPromptTimeoutSuffix);
}

TerminalLink::~TerminalLink() {
    events_.Loop().StopTimer(ids::kPromptTimer);
    slot_.SetDefault(receptions_);
}

void TerminalLink::SetOpen(bool open) {
    if (open_ == open) {
        return;
    }
    open_ = open;
    seen_.clear();
    slot_.SetDefault(open ? static_cast<ByteTaker&>(*this) : receptions_);
    if (!open) {
        CancelPrompt();
    }
}

EngineResult TerminalLink::AskReception(bool asked) {
    if (!open_) {
        return {};
    }
    if (!asked) {
        slot_.Remove(receptions_);
        return {};
    }
    return slot_.Holds(receptions_) || slot_.Install(receptions_) ? EngineResult{} : BusyResult();
}

void TerminalLink::OnPortClosed(bool) {
    CancelPrompt();
}

void TerminalLink::OnBytes(std::span<const std::uint8_t> batch) {
    events_.Emit(TerminalBytesEvent{{batch.begin(), batch.end()}});
    seen_.append(batch.begin(), batch.end());
    if (send_ && SeenPrompt()) {
        Answered();
    }
    // A prompt that begins further back than its length is no longer needed.
    if (seen_.size() > kMaxPromptLength) {
        seen_.erase(0, seen_.size() - kMaxPromptLength);
    }
}

bool TerminalLink::SeenPrompt() {
    if (seen_.find(prompt_) == std::string::npos) {
        return false;
    }
    // Each answer starts one send.
    seen_.clear();
    return true;
}

EngineResult TerminalLink::AwaitPrompt(const std::string& text, std::chrono::milliseconds timeout,
                                       std::function<EngineResult()> send) {
    if (!open_) {
        return {ErrorKind::kNotOpen, {}, {}, {}};
    }
    if (send_) {
        return BusyResult();
    }
    if (text.empty() || text.size() > kMaxPromptLength) {
        return {ErrorKind::kBadArgument,
                std::string(msg::kPromptTooLong),
                std::string(msg::kErrorCaption),
                {}};
    }
    prompt_ = text;
    timeout_ = timeout;
    send_ = std::move(send);
    if (SeenPrompt()) {
        Answered();
    } else {
        events_.Loop().StartTimer(ids::kPromptTimer, timeout, [this] { TimedOut(); });
    }
    return {};
}

void TerminalLink::Answered() {
    events_.Loop().StopTimer(ids::kPromptTimer);
    const std::function<EngineResult()> send = std::exchange(send_, {});
    events_.Emit(PromptEvent{true, prompt_, timeout_, send()});
}

void TerminalLink::TimedOut() {
    send_ = {};
    events_.Emit(PromptEvent{false, prompt_, timeout_, {}});
}

void TerminalLink::CancelPrompt() {
    events_.Loop().StopTimer(ids::kPromptTimer);
    send_ = {};
}

}  // namespace velotrix
