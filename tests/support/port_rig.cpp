// The port-control test rig.
#include "support/port_rig.h"

#include <time.h>

#include <array>
#include <utility>

#include "app/preferences.h"
#include "app/type_combo.h"
#include "ui-resources/ids.h"

namespace velotrix::test {

PortRig::PortRig(ListPortsFunction listPorts, OpenDeviceFunction openDevice)
    : control(screen, loop, port, engine, std::move(listPorts), std::move(openDevice)) {
    FillOptionLists(view);
    FillTypeCombo(view, ids::kRxType);
    Choose(ids::kBaudCombo, "9600");
    Choose(ids::kParityCombo, "keine");
    Choose(ids::kDataBitsCombo, "8");
    Choose(ids::kStopBitsCombo, "1");
    Choose(ids::kFlowCombo, "keine");
    control.EnumeratePorts(false);
}

bool PortRig::Choose(int comboId, std::string_view entry) {
    for (int index = 0; index < view.ComboCount(comboId); ++index) {
        if (view.ComboItem(comboId, index) == entry) {
            view.ComboSelect(comboId, index);
            return true;
        }
    }
    return false;
}

bool PortRig::PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    return loop.RunUntil(condition, timeout);
}

bool PortRig::PumpUntilReceived(std::uint32_t count, std::chrono::milliseconds timeout) {
    return PumpUntil([&] { return engine.Buffer().receivedCount >= count; }, timeout) &&
           engine.Buffer().receivedCount == count;
}

void PortRig::PressComButton() {
    control.TogglePort();
    engine.ResetListing();
    screen.ClearMessages();
    view.Enable(ids::kSaveButton, false);
}

std::vector<std::string> PortRig::Listing() const {
    return view.Lines(ids::kMessageList);
}

std::chrono::nanoseconds ProcessCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace velotrix::test
