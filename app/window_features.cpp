// The list of the main window's features: a new feature adds its line here.
#include "app/window_feature.h"

#include "app/modem_lines.h"
#include "app/self_test_command.h"

namespace velotrix {

std::vector<std::unique_ptr<WindowFeature>> MakeWindowFeatures(const WindowParts& parts) {
    std::vector<std::unique_ptr<WindowFeature>> features;
    features.push_back(MakeModemLinesFeature(parts));
    features.push_back(MakeSelfTestFeature(parts));
    return features;
}

}  // namespace velotrix
