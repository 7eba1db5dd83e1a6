// The test rig of the engine and the window: the fakes, the engine or the window, and the loop.
#include "support/rig.h"
#include "support/rig_words.h"
#include "support/row_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <numeric>

namespace velotrix::test {

namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

// The line log's clock: the loop's virtual time, from noon on 7 December 2026.
LogClock NoonClock(const ManualLoop& loop) {
    using namespace std::chrono;
    const milliseconds noon = sys_days{year{2026} / 12 / 7}.time_since_epoch() + hours(12);
    return [&loop, noon] { return noon + loop.Now(); };
}

}  // namespace

Bytes CountingBytes(std::size_t count) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});  // an 8-bit count wraps at 256
    return bytes;
}

Bytes Z80File(std::uint16_t aadr, std::uint16_t eadr, std::uint16_t sadr, char type,
              std::string_view name, std::size_t count) {
    Bytes header(kHeaderSize, 0);
    const HeaderBytes fields(header.data(), kHeaderSize);
    SetHeaderAadr(fields, aadr);
    SetHeaderEadr(fields, eadr);
    SetHeaderSadr(fields, sadr);
    SetHeaderTypeLetter(fields, type);
    std::fill_n(header.begin() + kMarkerOffset, 3, kMarkerByte);
    std::copy_n(name.begin(), std::min(name.size(), kHeaderNameSize), header.begin() + kNameOffset);
    return Concat(header, CountingBytes(count));
}

Bytes Synthesized(std::uint16_t aadr, std::size_t length, std::uint16_t sadr, std::string name) {
    Bytes header = Z80File(aadr, static_cast<std::uint16_t>(aadr + length - 1), sadr, 'P',
                           name + std::string(16, ' '), 0);
    std::copy_n("AC1KZV", 6, header.begin() + kCreatorTagOffset);
    return header;
}

namespace {
std::vector<std::string>& WindowRowFiles() {
    static std::vector<std::string> files;
    return files;
}
}  // namespace

std::vector<TableRow> TableRowsIn(std::string_view file, Rig::Face face) {
    std::vector<TableRow> rows;
    for (FileRow& row : face == Rig::Face::kWindow
                            ? ReadRows(file, RowText::kCp1252, {"ports", "steps"})
                            : ReadRows(file, RowText::kCp1252, {"steps"})) {
        Lines ports;
        std::string named = row.fields.contains("ports") ? row.fields["ports"] : "ttyS0";
        for (std::size_t comma; !named.empty(); named.erase(0, comma + 2)) {
            comma = std::min(named.find(", "), named.size());
            ports.push_back(named.substr(0, comma));
        }
        rows.push_back({row.name, ports, row.fields["steps"], row.expected, face});
    }
    return rows;
}

std::vector<TableRow> WindowRowsIn(std::string_view file) {
    WindowRowFiles().emplace_back(file);
    return TableRowsIn(file, Rig::Face::kWindow);
}

std::vector<TableRow> WindowRows() {
    std::vector<TableRow> rows;
    for (const std::string& file : WindowRowFiles()) {
        const std::vector<TableRow> more = TableRowsIn(file, Rig::Face::kWindow);
        rows.insert(rows.end(), more.begin(), more.end());
    }
    return rows;
}

void RunRow(const TableRow& row) {
    Rig rig(row.face, row.ports);
    rig.Do(row.steps);
    rig.Expect(row.shown);
}

std::string TestNameOf(std::string_view text) {
    std::string name(text);
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; }, '_');
    return name;
}

Bytes Concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Rig::Rig(Face face, const Lines& ports, std::optional<DeviceAccess> access) {
    // "ttyS0 console": the port as the list shows the kernel's console.
    for (const std::string& entry : ports) {
        const std::size_t space = entry.find(' ');
        ports_.push_back(entry.substr(0, space));
        consoles_.push_back(space != std::string::npos && entry.substr(space + 1) == "console");
        devices.push_back(std::make_shared<FakeSerialDevice>());
    }
    // The fakes open like real devices: ENOENT for an unknown path, EBUSY while open.
    DeviceAccess fakes{
        [this] {
            std::vector<PortInfo> listed;
            for (std::size_t i = 0; i < ports_.size(); ++i) {
                listed.push_back({ports_[i], "/dev/fake/" + ports_[i]});
                listed.back().access = consoles_[i] ? PortAccess::kConsole : PortAccess::kFree;
            }
            return listed;
        },
        [this](const std::string& path) -> OsResult<std::unique_ptr<SerialDevice>> {
            for (std::size_t i = 0; i < ports_.size(); ++i) {
                if (path == "/dev/fake/" + ports_[i]) {
                    const int refused = devices[i]->IsOpen() ? EBUSY : openFailure;
                    return refused != 0
                               ? OsResult<std::unique_ptr<SerialDevice>>{nullptr, {refused, {}}}
                               : OsResult<std::unique_ptr<SerialDevice>>{
                                     FakeSerialDevice::Share(devices[i]), {}};
                }
            }
            return {nullptr, OsError{ENOENT, {}}};
        },
        [this](const std::string&) { return linked; }};
    access_ = access.value_or(std::move(fakes));
    if (face == Face::kWindow) {
        StartWindow("");
    } else {
        own = std::make_unique<Engine>(loop, access_,
                                       [this](const EngineEvent& event) { Record(event); });
        own->SetFileWatchStarter(watches.Starter());
        own->SetLogClock(NoonClock(loop));
        own->SetLineErrorPause(
            [this](milliseconds duration, const auto&) { paused = duration.count(); });
    }
}

void Rig::StartWindow(const std::string& settingsFile) {
    window.reset();
    // The person is the same on the second day.
    HeadlessView::PersonTrace trace = view.Trace();
    view = HeadlessView();
    view.SetTrace(std::move(trace));
    settingsPath = dir.File(settingsFile.empty() ? "Velotrix.ini" : settingsFile);
    window =
        std::make_unique<MainController>(view, loop, ControllerEnvironment{settingsPath, access_});
    window->GetEngine().SetFileWatchStarter(watches.Starter());
    window->GetEngine().SetLogClock(NoonClock(loop));
    window->Start();
}

Rig::~Rig() {
    // Workers stop before the devices and the loop go; the taker leaves the slot before it goes.
    if (taker) {
        engine().ReceivedBytes().Remove(*taker);
    }
    window.reset();
    own.reset();
}

EngineResult Rig::Open(std::string path) {
    if (path.empty() && !ports_.empty()) {
        path = "/dev/fake/" + ports_.front();
    }
    return engine().Open(LineSettings{path, 9600, Parity::kNone, 8, 1, false});
}

void Rig::Feed(const Bytes& bytes, const LineErrors& errors) {
    line().InjectInput(bytes, errors);
    line().WaitUntilIdle(10s);
    loop.RunPending();
    fed = errors.Any() ? fed : Concat(fed, bytes);
}

bool Rig::Pump(const std::function<bool()>& until, milliseconds timeout) {
    return loop.RunUntil(until, timeout);
}

bool Rig::PumpUntilIdle() {
    const bool idle = Pump([&] { return !engine().Sending(); });
    loop.RunPending();
    return idle;
}

void Rig::Do(std::string_view steps) {
    while (!steps.empty()) {
        const std::size_t end = std::min(steps.find(';'), steps.size());
        std::string step(steps.substr(0, end));
        steps.remove_prefix(std::min(end + 1, steps.size()));
        step.erase(0, step.find_first_not_of(' '));
        RunStep(*this, step);
    }
}

}  // namespace velotrix::test
