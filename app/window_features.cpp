// The list of the main window's features: a new feature adds its line here.
#include "app/window_feature.h"

namespace velotrix {

std::vector<std::unique_ptr<WindowFeature>> MakeWindowFeatures(const WindowParts& parts) {
    (void)parts;
    std::vector<std::unique_ptr<WindowFeature>> features;
    return features;
}

}  // namespace velotrix
