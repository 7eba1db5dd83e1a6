// Fuzz target: the VELOTRIX_PORTS list a user names, colon-separated. Every entry named is listed
// once with a name and its path, and nothing is opened.
#include <cstdlib>
#include <string>

#include "platform/linux/serial_ports.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    // No device folder, no holders: only the named entries are listed.
    const PortPlaces nowhere{"/nonexistent/dev",  "/nonexistent/sys",     "/nonexistent/by-id", {},
                             "/nonexistent/proc", "/nonexistent/consoles"};
    const std::string list(reinterpret_cast<const char*>(data), size);
    for (const PortInfo& port : ListSerialDevicesIn(nowhere, list, Identity{}, 0)) {
        if (port.name.empty() || port.path.empty() || list.find(port.path) == std::string::npos) {
            std::abort();
        }
    }
    return 0;
}
