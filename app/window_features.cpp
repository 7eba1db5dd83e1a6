// The list of the main window's features: a new feature adds its line here.
#include "app/window_feature.h"

#include "app/line_log_feature.h"

namespace velotrix {

std::vector<std::unique_ptr<WindowFeature>> MakeWindowFeatures(const WindowParts& parts) {
    std::vector<std::unique_ptr<WindowFeature>> features;
    features.push_back(std::make_unique<LineLogFeature>(parts));
    return features;
}

}  // namespace velotrix
