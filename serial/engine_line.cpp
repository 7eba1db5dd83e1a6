// The engine's calls about the line's other users: the reception, the terminal and the line log.
#include "serial/engine_impl.h"
#include "serial/error_texts.h"
#include "serial/reception_files.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace velotrix {

std::span<const std::uint8_t> Engine::Reception() const {
    return impl_->receiver.Savable().bytes;
}

bool Engine::ReceptionHasHeader() const {
    return impl_->receiver.Savable().hasHeader;
}

const std::string& Engine::ReceptionName() const {
    return impl_->receiver.Savable().name;
}

const SavableReception& Engine::FinishedReception() const {
    return impl_->receiver.Savable();
}

bool Engine::Receiving() const {
    return impl_->receiver.Receiving();
}

void Engine::FinishReception() {
    if (impl_->receiver.Receiving()) {
        impl_->receiver.FinishReception(true);
    }
}

SavedReception Engine::SaveReception(const SaveTarget& target) {
    return SaveReceptionTo(impl_->receiver.Savable(), target);
}

ReceivedBytesSlot& Engine::ReceivedBytes() {
    return impl_->bytes;
}

void Engine::ResetReception() {
    impl_->receiver.ResetListing();
}

void Engine::SetTerminal(bool open) {
    Impl& s = *impl_;
    s.terminal.SetOpen(open);
    s.options.keepInput = open;
}

bool Engine::TerminalOpen() const {
    return impl_->terminal.Open();
}

EngineResult Engine::AskReception(bool asked) {
    Impl& s = *impl_;
    // A reception that runs ends now, cut short; its end hands the line back.
    if (!asked && s.terminal.ReceptionAsked() && s.receiver.Receiving()) {
        s.receiver.FinishReception(true);
    }
    return s.terminal.AskReception(asked);
}

bool Engine::ReceptionAsked() const {
    return impl_->terminal.ReceptionAsked();
}

EngineResult Engine::Type(std::string bytes) {
    Impl& s = *impl_;
    if (s.bytes.KeepsLine()) {
        return BusyResult();
    }
    s.terminal.Typed();
    return s.sends.Type(std::move(bytes));
}

EngineResult Engine::SendBreak() {
    return impl_->bytes.KeepsLine() ? BusyResult() : impl_->sends.SendBreak(kBreakDuration);
}

EngineResult Engine::SendAfterPrompt(const std::string& prompt, std::chrono::milliseconds timeout,
                                     std::function<EngineResult()> send) {
    if (!IsOpen()) {
        return {ErrorKind::kNotOpen, {}, {}, {}};
    }
    return impl_->terminal.AwaitPrompt(prompt, timeout, std::move(send));
}

void Engine::CancelPrompt() {
    impl_->terminal.CancelPrompt();
}

bool Engine::AwaitingPrompt() const {
    return impl_->terminal.AwaitingPrompt();
}

void Engine::SetAutoReopen(bool on) {
    impl_->life.SetAutoReopen(on);
}

EngineResult Engine::StartLog(const std::string& path) {
    Impl& s = *impl_;
    StopLog();
    // A write that fails later stops the log; the user learns why.
    const OsError error = s.log.Start(path, [&events = s.events](const OsError& failed) {
        events.PostLines({std::string(msg::kLogFailed) + UserErrorText(failed)}, true);
    });
    if (error) {
        return {ErrorKind::kFileError,
                std::string(msg::kLogCannotOpen) + Utf8ToCp1252(path) + "\r" + UserErrorText(error),
                std::string(msg::kErrorCaption),
                {}};
    }
    s.log.Note(std::string(msg::kLogStarted));
    s.life.NoteOpenPort(msg::kLogIsOpen);
    return {};
}

void Engine::StopLog() {
    impl_->log.End();
}

bool Engine::Logging() const {
    return impl_->log.Active();
}

OsError Engine::LogFailure() const {
    return impl_->log.Failure();
}

void Engine::SetLogClock(LogClock clock) {
    impl_->log.SetClock(std::move(clock));
}

void Engine::SetLineErrorPause(ReceivePause pause) {
    impl_->life.SetLineErrorPause(std::move(pause));
}

}  // namespace velotrix
