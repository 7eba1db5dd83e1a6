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
    std::string locks = "/proc/locks";
};

// Who asks: a port's mode is read against these. For this process itself the system answers,
// access control lists included.
struct Identity {
    uid_t uid = 0;
    std::vector<gid_t> groups;  // the effective group first
    bool thisProcess = false;
    static Identity Current();
};

class PortUse {
  public:
    // Reads the console list and the kernel's table of file locks once, for all ports of a
    // listing; the process ownPid holds nothing.
    PortUse(const PortPlaces& places, Identity identity, int ownPid);

    // Sets access, holder and holderPid of the port from its name and the device its path leads
    // to: busy when a lock file or a lock on the device says so (both name the holder).
    void Describe(PortInfo& port) const;

    // Who holds the device at path: the lock's holder, else a process that has it open. Reads the
    // open files of every process this user may see, which costs a walk through all of /proc.
    PortHolder Holder(const std::string& path) const;

  private:
    bool HeldByLock(const std::string& deviceName, PortHolder& holder) const;
    // The holder of a lock on the device (flock or fcntl), from the kernel's table.
    bool HeldByFileLock(const std::string& device, PortHolder& holder) const;
    PortHolder ProcessWithOpen(const std::string& device) const;

    PortPlaces places_;
    Identity identity_;
    int ownPid_;
    std::vector<std::string> consoles_;
    // The file locks: "device:inode" as the kernel writes it -> the process that holds the lock.
    std::map<std::string, int> fileLocks_;
};

}  // namespace velotrix
