// The keys typed in the terminal on their way to the line: keys typed while earlier ones go out
// join them, and the sender ends only once none waits.
#pragma once

#include <mutex>
#include <string>

#include "serial/block_writer.h"

namespace velotrix {

class TypingQueue {
  public:
    // UI thread: the bytes join a sender that still takes keys; false when none does.
    bool Join(const std::string& bytes);
    // UI thread, before the sender starts: it takes keys from now on, these first.
    void Begin(std::string bytes);
    // Whether a sender still takes keys.
    bool Open() const;
    // Sender thread: writes what waits, unlisted, with the pauses of a text, until nothing waits
    // or the port closes. The queue closes in the same step in which it is found empty, so that a
    // key typed then starts a new sender. True when everything typed went out.
    bool WriteAll(const SendContext& context);

  private:
    // Closes the queue and forgets what waits; the result passed through.
    bool Close(bool result);

    mutable std::mutex mutex_;
    std::string queue_;
    bool open_ = false;
};

}  // namespace velotrix
