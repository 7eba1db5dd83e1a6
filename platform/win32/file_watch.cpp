// The file watch on Windows: ReadDirectoryChangesW on the file's folder, overlapped, in a thread of
// its own that an event wakes to stop.
#include "platform/file_watch.h"

#include <windows.h>

#include <thread>

#include "platform/files.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"

namespace velotrix {

namespace {

// Names (a new file, a rename, a removal), writes and sizes: whatever puts a new version in place.
constexpr DWORD kChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

class DirectoryWatch final : public FileWatch {
  public:
    DirectoryWatch(UiLoop& loop, UniqueHandle folder, UniqueHandle stop, UniqueHandle done,
                   std::wstring name, std::function<void()> changed)
        : poster_(loop, std::move(changed)),
          folder_(std::move(folder)),
          stop_(std::move(stop)),
          done_(std::move(done)),
          name_(std::move(name)),
          armed_(Arm()),
          thread_([this] { Run(); }) {}

    ~DirectoryWatch() override {
        SetEvent(stop_.get());
        thread_.join();
        poster_.Stop();
    }

  private:
    // File names compare regardless of case, as the file system does.
    bool IsOurs(const FILE_NOTIFY_INFORMATION& info) const {
        const int length = static_cast<int>(info.FileNameLength / sizeof(WCHAR));
        return CompareStringOrdinal(info.FileName, length, name_.c_str(),
                                    static_cast<int>(name_.size()), TRUE) == CSTR_EQUAL;
    }

    // The first read is issued before WatchFile returns: a change made right after it is seen,
    // not lost while the thread starts.
    bool Arm() {
        ResetEvent(done_.get());
        overlapped_ = OVERLAPPED{};
        overlapped_.hEvent = done_.get();
        return ReadDirectoryChangesW(folder_.get(), buffer_, sizeof buffer_, FALSE, kChanges,
                                     nullptr, &overlapped_, nullptr) != FALSE;
    }

    void Run() {
        for (bool armed = armed_; armed; armed = Arm()) {
            const HANDLE waits[2] = {stop_.get(), done_.get()};
            DWORD count = 0;
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
                // The read must have ended before its buffer goes.
                CancelIoEx(folder_.get(), &overlapped_);
                GetOverlappedResult(folder_.get(), &overlapped_, &count, TRUE);
                return;
            }
            if (!GetOverlappedResult(folder_.get(), &overlapped_, &count, FALSE)) {
                return;
            }
            // No bytes: more changed than the buffer held, the file's own perhaps among them.
            bool ours = count == 0;
            for (DWORD at = 0; !ours && at < count;) {
                const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + at);
                ours = IsOurs(*info);
                at = info->NextEntryOffset == 0 ? count : at + info->NextEntryOffset;
            }
            if (ours) {
                poster_.Post();
            }
        }
    }

    ChangePoster poster_;
    UniqueHandle folder_;
    UniqueHandle stop_;
    UniqueHandle done_;
    std::wstring name_;
    alignas(DWORD) BYTE buffer_[16384];
    OVERLAPPED overlapped_{};
    bool armed_;
    std::thread thread_;  // last: it starts once everything it reads is in place
};

}  // namespace

OsResult<std::unique_ptr<FileWatch>> WatchFile(UiLoop& loop, const std::string& path,
                                               std::function<void()> changed) {
    std::string folder;
    std::string name;
    SplitWatchedPath(path, folder, name);
    UniqueHandle handle(CreateFileW(Utf8ToWide(folder).c_str(), FILE_LIST_DIRECTORY,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!handle.valid()) {
        return {nullptr, {LastOsError(), {}}};
    }
    UniqueHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop.valid() || !done.valid()) {
        return {nullptr, {LastOsError(), {}}};
    }
    return {std::make_unique<DirectoryWatch>(loop, std::move(handle), std::move(stop),
                                             std::move(done), Utf8ToWide(name), std::move(changed)),
            {}};
}

}  // namespace velotrix
