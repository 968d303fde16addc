// File and folder calls of the seam on kernel32.
#include "platform/win32/win_common.h"

#include <algorithm>
#include <vector>

namespace vorlix::os {

namespace {

void copy_find_data(const WIN32_FIND_DATAW& source, FindData& data) {
    data.attributes = source.dwFileAttributes;
    data.size = (static_cast<std::uint64_t>(source.nFileSizeHigh) << 32) | source.nFileSizeLow;
    data.name = win::from_wide(source.cFileName);
    data.alternate_name = win::from_wide(source.cAlternateFileName);
}

// Closes a file handle when the block ends, whatever path it takes.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

HANDLE open_for_read(const std::u16string& path) {
    return CreateFileW(win::wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// ReadFile and WriteFile move at most a DWORD at a time.
constexpr std::size_t io_chunk = 1u << 24;

// Up to `size` bytes from `offset`; fewer where the file ends (it may also
// shrink while it is read).
bool read_at(HANDLE file, std::uint64_t offset, std::size_t size, std::string& bytes) {
    bytes.resize(size);
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        DWORD read = 0;
        const auto wanted = static_cast<DWORD>(std::min(io_chunk, size - done));
        if (!ReadFile(file, bytes.data() + done, wanted, &read, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            bytes.clear();
            return false;
        }
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return true;
}

}  // namespace

std::uint32_t get_file_attributes(const std::u16string& path) { return GetFileAttributesW(win::wide(path)); }

bool set_file_attributes(const std::u16string& path, std::uint32_t attributes) {
    return SetFileAttributesW(win::wide(path), attributes) != FALSE;
}

Handle find_first_file(const std::u16string& pattern, FindData& data) {
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW(win::wide(pattern), &found);
    if (find == INVALID_HANDLE_VALUE) return invalid_handle_value;
    copy_find_data(found, data);
    return win::from_pointer(find);
}

bool find_next_file(Handle find, FindData& data) {
    WIN32_FIND_DATAW found{};
    if (!FindNextFileW(win::to_handle(find), &found)) return false;
    copy_find_data(found, data);
    return true;
}

bool find_close(Handle find) { return FindClose(win::to_handle(find)) != FALSE; }

bool delete_file(const std::u16string& path) { return DeleteFileW(win::wide(path)) != FALSE; }

bool create_directory(const std::u16string& path) { return CreateDirectoryW(win::wide(path), nullptr) != FALSE; }

bool remove_directory(const std::u16string& path) { return RemoveDirectoryW(win::wide(path)) != FALSE; }

bool copy_file(const std::u16string& from, const std::u16string& to, bool fail_if_exists) {
    return CopyFileW(win::wide(from), win::wide(to), fail_if_exists ? TRUE : FALSE) != FALSE;
}

bool move_file(const std::u16string& from, const std::u16string& to) {
    return MoveFileW(win::wide(from), win::wide(to)) != FALSE;
}

std::uint32_t get_long_path_name(const std::u16string& path, char16_t* buffer, std::uint32_t size) {
    return GetLongPathNameW(win::wide(path), win::wide(buffer), size);
}

std::uint32_t get_short_path_name(const std::u16string& path, char16_t* buffer, std::uint32_t size) {
    return GetShortPathNameW(win::wide(path), win::wide(buffer), size);
}

std::uint32_t get_final_path_name(const std::u16string& path, std::u16string& final_path) {
    final_path.clear();
    // Backup semantics open folders too; no access right is needed to ask for the name.
    const FileHandle file(CreateFileW(win::wide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return GetLastError();
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        const DWORD length =
            GetFinalPathNameByHandleW(file.get(), buffer.data(), size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return GetLastError();
        if (length < size) {
            final_path = win::from_wide(buffer.data());
            return error_success;
        }
        buffer.resize(length + 1);
    }
}

std::uint32_t probe_open_for_read(const std::u16string& path) {
    const FileHandle file(open_for_read(path));
    return file.valid() ? error_success : GetLastError();
}

bool read_file_bytes(const std::u16string& path, std::string& bytes) {
    bytes.clear();
    const FileHandle file(open_for_read(path));
    if (!file.valid()) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;
    return read_at(file.get(), 0, static_cast<std::size_t>(size.QuadPart), bytes);
}

bool read_file_parts(const std::u16string& path, const std::function<void(const FilePartReader&)>& use) {
    const FileHandle file(open_for_read(path));
    if (!file.valid()) return false;
    use([&file](std::uint64_t offset, std::size_t size, std::string& bytes) {
        return read_at(file.get(), offset, size, bytes);
    });
    return true;
}

bool write_file_bytes(const std::u16string& path, const std::string& bytes) {
    const FileHandle file(CreateFileW(win::wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
    if (!file.valid()) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const auto wanted = static_cast<DWORD>(std::min(io_chunk, bytes.size() - done));
        if (!WriteFile(file.get(), bytes.data() + done, wanted, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace vorlix::os
