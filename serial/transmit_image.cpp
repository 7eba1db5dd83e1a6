// The transmit image's calls: each changes the image on the UI thread and hands it to the sender.
#include "serial/transmit_image.h"

#include "serial/error_texts.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

std::string LoadFailureText(const LoadOutcome& outcome) {
    if (!outcome.result.text.empty()) {
        return outcome.result.text;
    }
    if (outcome.fileStatus == FileReadStatus::kNotRegular) {
        return std::string(msg::kNotRegularFile).substr(1);
    }
    return UserErrorText(OsError{outcome.osError, {}});
}

std::string_view LoadedKindText(FormatKind kind) {
    switch (kind) {
        case FormatKind::kZ80:
            return msg::kLoadedZ80;
        case FormatKind::kHex:
            return msg::kLoadedHex;
        case FormatKind::kBin:
            break;
    }
    return msg::kLoadedBin;
}

std::string LoadNoteLine(const LoadOutcome& outcome) {
    if (!outcome.loaded || outcome.kind != FormatKind::kHex) {
        return {};
    }
    return std::string(msg::kHexFilledPrefix) + CountToDecimal(outcome.filledBytes) +
           std::string(msg::kHexFilledSuffix);
}

LoadOutcome TransmitImage::Load(const std::string& path) {
    const LoadResult loaded = LoadTxFile(tx_, path);
    LoadOutcome outcome;
    outcome.loaded = loaded.status == LoadStatus::kLoaded;
    outcome.kind = loaded.kind;
    outcome.filledBytes = loaded.filledBytes;
    outcome.fileStatus = loaded.fileStatus;
    outcome.osError = loaded.osError;
    outcome.result.text = loaded.message;
    outcome.result.caption = loaded.caption;
    if (outcome.loaded) {
        // A z80 file whose own end address disagrees with its length goes out with the one that
        // matches the bytes on the line.
        NormalizeShownHeader(tx_);
        asLoaded_ = CopyHeader(tx_);
        asLoadedPath_ = path;
        asLoadedKind_ = outcome.kind;
    } else {
        outcome.result.kind = ErrorKind::kFileError;
    }
    HandToSender();
    if (loadObserver_) {
        loadObserver_(path, outcome.loaded);
    }
    return outcome;
}

LoadOutcome TransmitImage::Reload() {
    const std::string path = tx_.sourcePath;
    return Load(path);
}

LoadOutcome TransmitImage::ReloadKeepingEdits() {
    // A failed load leaves the header as the user edited it, so the edits outlive a file that
    // vanished for a moment.
    const bool sameFile = tx_.sourcePath == asLoadedPath_;
    const HeaderCopy asLoaded = asLoaded_;
    const HeaderCopy edited = CopyHeader(tx_);
    const FormatKind wasKind = asLoadedKind_;
    LoadOutcome outcome = Reload();
    if (outcome.loaded && sameFile && outcome.kind == wasKind) {
        KeepHeaderEdits(tx_, asLoaded, edited);
        HandToSender();
    }
    return outcome;
}

void TransmitImage::Unload() {
    tx_.loaded = false;
    tx_.sourcePath.clear();
    HandToSender();
    if (loadObserver_) {
        loadObserver_({}, false);
    }
}

std::uint16_t TransmitImage::SetLoadAddress(std::uint32_t aadr) {
    const std::uint16_t eadr = SetImageLoadAddress(tx_, aadr);
    HandToSender();
    return eadr;
}

void TransmitImage::SetStartAddress(std::uint32_t sadr) {
    SetHeaderSadr(tx_.Header(), sadr);
    HandToSender();
}

void TransmitImage::SetName(const std::string& name) {
    SetImageName(tx_, name);
    HandToSender();
}

void TransmitImage::SetTypeLetter(char letter) {
    SetHeaderTypeLetter(tx_.Header(), letter);
    HandToSender();
}

void TransmitImage::SetPause(int pauseIndex) {
    pauseIndex_ = pauseIndex;
    HandToSender();
}

}  // namespace velotrix
