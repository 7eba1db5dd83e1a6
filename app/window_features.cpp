// The list of the main window's features: a new feature adds its line here.
#include "app/window_feature.h"

#include "app/resend_on_change.h"

namespace velotrix {

std::vector<std::unique_ptr<WindowFeature>> MakeWindowFeatures(const WindowParts& parts) {
    std::vector<std::unique_ptr<WindowFeature>> features;
    features.push_back(std::make_unique<ResendOnChange>(parts));
    return features;
}

}  // namespace velotrix
