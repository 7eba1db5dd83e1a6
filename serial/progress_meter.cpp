// Percent, rate and time left of a transfer.
#include "serial/progress_meter.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "ui-resources/messages.h"

namespace velotrix {

std::string GroupedDecimal(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (std::size_t i = digits.size(); i > 3; i -= 3) {
        digits.insert(i - 3, 1, '.');
    }
    return digits;
}

std::string ProgressText(std::uint32_t done, std::uint32_t total, double bytesPerSecond) {
    const std::uint64_t percent =
        total == 0 ? 100 : std::uint64_t{std::min(done, total)} * 100 / total;
    std::string text = std::to_string(percent) + "%";
    if (bytesPerSecond <= 0.0) {
        return text;
    }
    const std::uint32_t left = total > done ? total - done : 0;
    const auto seconds = static_cast<std::uint64_t>(std::ceil(left / bytesPerSecond));
    const std::string secondsText = std::to_string(seconds % 60);
    text += msg::kProgressSeparator;
    text += GroupedDecimal(static_cast<std::uint64_t>(std::llround(bytesPerSecond)));
    text += msg::kBytesPerSecond;
    text += msg::kProgressSeparator;
    text += msg::kTimeLeft;
    text += std::to_string(seconds / 60) + ":" + (secondsText.size() < 2 ? "0" : "") + secondsText;
    return text;
}

void ProgressMeter::Start(std::uint32_t total, std::uint32_t done) {
    total_ = total;
    running_ = true;
    samples_.assign(1, {clock_.Now(), done});
}

std::string ProgressMeter::Text(std::uint32_t done) {
    const std::chrono::milliseconds now = clock_.Now();
    samples_.emplace_back(now, done);
    // The oldest sample kept is the last one at least a window old, so the window stays full.
    while (samples_.size() > 2 && now - samples_[1].first >= kRateWindow) {
        samples_.pop_front();
    }
    const auto& [since, doneThen] = samples_.front();
    const auto elapsed = std::chrono::duration<double>(now - since).count();
    // A rate needs a little time behind it; before, the percent stands alone.
    const double rate = elapsed >= 0.5 && done > doneThen ? (done - doneThen) / elapsed : 0.0;
    return ProgressText(done, total_, rate);
}

}  // namespace velotrix
