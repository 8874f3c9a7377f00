// Windows' C library has no memory stream: the bytes go to a temporary file of the user's own
// temporary folder (not the drive's root, where tmpfile writes and a user may not), which the
// system deletes as the stream closes, even when the program dies first.
#include "image/ByteStream.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

std::FILE* OpenByteStream(const uint8_t* data, size_t size) {
    wchar_t folder[MAX_PATH + 1];
    wchar_t path[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH || GetTempFileNameW(folder, L"emb", 0, path) == 0) {
        return nullptr;
    }
    const HANDLE handle =
        CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DeleteFileW(path);
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, "w+b");
    if (stream == nullptr) {
        _close(descriptor);
        return nullptr;
    }
    if ((size > 0 && std::fwrite(data, 1, size, stream) != size) || std::fflush(stream) != 0 ||
        std::fseek(stream, 0, SEEK_SET) != 0) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
}
