// The progress of a transfer for every face: how much has gone, at what rate, and how long the
// rest takes, as "43% – 1.234 B/s – noch 0:12", on the engine's clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

#include "platform/ui_loop.h"

namespace velotrix {

// The rate counts the last seconds only, so that a pause after the header does not drag it down
// for the rest of the send.
inline constexpr std::chrono::milliseconds kRateWindow{3000};

class ProgressMeter {
  public:
    // Times the transfer by the clock of the loop the engine runs on (a virtual one in tests).
    explicit ProgressMeter(const UiLoop& clock) : clock_(clock) {}

    // A transfer of total bytes, of which done have already come, is measured from now on.
    void Start(std::uint32_t total, std::uint32_t done = 0);
    bool Running() const { return running_; }
    void Stop() { running_ = false; }
    // The text for done bytes now; the rate and the time left join it once a rate is known.
    std::string Text(std::uint32_t done);

  private:
    const UiLoop& clock_;
    std::uint32_t total_ = 0;
    bool running_ = false;
    std::deque<std::pair<std::chrono::milliseconds, std::uint32_t>> samples_;
};

// "1.234": a count with a dot between each three digits, as German writes it.
std::string GroupedDecimal(std::uint64_t value);
// "43% – 1.234 B/s – noch 0:12"; "43%" alone without a rate.
std::string ProgressText(std::uint32_t done, std::uint32_t total, double bytesPerSecond);

}  // namespace velotrix
