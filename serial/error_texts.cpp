// Texts for OS errors: the program's own German ones where it has them, the OS's otherwise.
#include "serial/error_texts.h"

#include <string_view>
#include <vector>

#include "platform/files.h"
#include "serial/line_options.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

std::string_view TopicText(OsErrorTopic topic) {
    switch (topic) {
        case OsErrorTopic::kNoAccess:
            return msg::kErrorNoAccess;
        case OsErrorTopic::kBusy:
            return msg::kErrorBusy;
        case OsErrorTopic::kGone:
            return msg::kErrorGone;
        case OsErrorTopic::kIoError:
            return msg::kErrorIo;
        case OsErrorTopic::kSettingRefused:
            return msg::kErrorSettingRefused;
        case OsErrorTopic::kNoSuchFile:
            return msg::kErrorNoSuchFile;
        case OsErrorTopic::kDiskFull:
            return msg::kErrorDiskFull;
        case OsErrorTopic::kReadOnly:
            return msg::kErrorReadOnly;
        case OsErrorTopic::kFileTooBig:
            return msg::kErrorFileTooBig;
        case OsErrorTopic::kNameTooLong:
            return msg::kErrorNameTooLong;
        case OsErrorTopic::kIsFolder:
            return msg::kErrorIsFolder;
        case OsErrorTopic::kNotSupported:
            return msg::kErrorNotSupported;
        case OsErrorTopic::kOther:
            break;
    }
    return {};
}

template <typename T>
std::string_view LabelOf(std::span<const OptionEntry<T>> entries, T value) {
    for (const OptionEntry<T>& entry : entries) {
        if (entry.value == value) {
            return ShownLabel(entry);
        }
    }
    return {};
}

}  // namespace

std::string UserErrorText(const OsError& error) {
    const OsErrorTopic topic = TopicOf(error.code);
    // What the device cannot do is said once, by the hint that names it.
    if (topic == OsErrorTopic::kNotSupported && !error.hint.empty()) {
        return error.hint;
    }
    const std::string_view own = TopicText(topic);
    std::string text = own.empty() ? OsErrorText(error.code) : std::string(own);
    if (!error.hint.empty()) {
        text += topic == OsErrorTopic::kSettingRefused ? ": " : "\r";
        text += error.hint;
    }
    return text;
}

namespace {

std::string Joined(const std::vector<std::string>& settings) {
    std::string text;
    for (const std::string& setting : settings) {
        text += (text.empty() ? "" : ", ") + setting;
    }
    return text;
}

// The chosen parts of the character frame as texts: those the driver holds otherwise in frame,
// all of them in all.
void FrameSettings(const LineSettings& asked, const AppliedSettings& applied,
                   std::vector<std::string>& frame, std::vector<std::string>& all) {
    const auto add = [&](bool chosen, bool differs, std::string text) {
        if (chosen && differs) {
            frame.push_back(text);
        }
        if (chosen) {
            all.push_back(std::move(text));
        }
    };
    add(asked.dataBits.has_value(), asked.dataBits != applied.dataBits,
        std::to_string(asked.dataBits.value_or(0)) + std::string(msg::kRefusedDataBits));
    add(asked.parity.has_value(), asked.parity != applied.parity,
        std::string(msg::kRefusedParity) +
            std::string(LabelOf(ParityEntries(), asked.parity.value_or(Parity::kNone))));
    add(asked.stopBits.has_value(), asked.stopBits != applied.stopBits,
        std::to_string(asked.stopBits.value_or(0)) + std::string(msg::kRefusedStopBits));
    add(asked.ctsFlow.has_value(), asked.ctsFlow != applied.ctsFlow,
        std::string(msg::kRefusedFlow) +
            std::string(LabelOf(FlowEntries(), asked.ctsFlow.value_or(false))));
}

}  // namespace

std::string FrameNotTaken(const LineSettings& asked, const AppliedSettings& applied) {
    std::vector<std::string> frame;
    std::vector<std::string> all;
    FrameSettings(asked, applied, frame, all);
    return Joined(frame);
}

std::string RefusedSettings(const LineSettings& asked, const AppliedSettings& applied) {
    // A refused change leaves the port as it was, so what differs from its state was asked
    // for. The character frame is what drivers refuse (a pseudo-terminal knows only 8N1); the
    // rate is named only when the frame is not in question.
    std::vector<std::string> frame;
    std::vector<std::string> all;
    FrameSettings(asked, applied, frame, all);
    const std::string baud = std::to_string(asked.baudRate) + std::string(msg::kRefusedBaud);
    if (frame.empty() && asked.baudRate != 0 && asked.baudRate != applied.baudRate) {
        frame.push_back(baud);
    }
    if (asked.baudRate != 0) {
        all.insert(all.begin(), baud);
    }
    return Joined(frame.empty() ? all : frame);
}

}  // namespace velotrix
