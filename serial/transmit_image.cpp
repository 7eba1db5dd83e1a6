// The transmit image's calls: each changes the image on the UI thread and hands it to the sender.
#include "serial/transmit_image.h"

namespace velotrix {

LoadOutcome TransmitImage::Load(const std::string& path) {
    const LoadResult loaded = LoadTxFile(tx_, path, scratch_);
    LoadOutcome outcome;
    outcome.loaded = loaded.status == LoadStatus::kLoaded;
    outcome.isZ80 = loaded.isZ80;
    outcome.fileStatus = loaded.fileStatus;
    outcome.osError = loaded.osError;
    outcome.result.text = loaded.message;
    outcome.result.caption = loaded.caption;
    if (outcome.loaded) {
        // A z80 file whose own end address disagrees with its length goes out with the one that
        // matches the bytes on the line.
        NormalizeShownHeader(tx_);
    } else {
        outcome.result.kind = ErrorKind::kFileError;
    }
    HandToSender();
    return outcome;
}

LoadOutcome TransmitImage::Reload() {
    const std::string path = tx_.sourcePath;
    return Load(path);
}

void TransmitImage::Unload() {
    tx_.loaded = false;
    tx_.sourcePath.clear();
    HandToSender();
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
