// What the system tells of a serial device's use without opening it: lock files, the open files of
// processes, its mode against the user's groups, and whether it is the kernel's console.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace velotrix {

// The places the system keeps this in; tests hand in a tree of their own.
struct PortPlaces {
    std::string devices = "/dev";
    std::string sysTty = "/sys/class/tty";
    std::string byId = "/dev/serial/by-id";
    std::vector<std::string> lockDirectories = {"/run/lock", "/var/lock"};
    std::string proc = "/proc";
    std::string consoles = "/proc/consoles";
};

// Who asks: a port's mode is read against these. For this process itself the system answers,
// access control lists included.
struct Identity {
    uid_t uid = 0;
    std::vector<gid_t> groups;  // the effective group first
    bool thisProcess = false;
    static Identity Current();
};

struct Holder {
    std::string program;
    int pid = 0;
};

class PortUse {
  public:
    // Reads the console list and the open files of every process whose files this user may see
    // (ours excepted) once, for all ports of a listing.
    PortUse(const PortPlaces& places, Identity identity, int ownPid);

    // Sets access, holder and holderPid of the port from its name and the device its path
    // leads to.
    void Describe(PortInfo& port) const;

  private:
    bool HeldByLock(const std::string& name, Holder& holder) const;

    PortPlaces places_;
    Identity identity_;
    std::vector<std::string> consoles_;
    std::map<std::string, Holder> openDevices_;  // device path -> a process that holds it
};

}  // namespace velotrix
