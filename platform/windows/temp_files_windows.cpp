// Temporary files on Windows: a new directory under the user's temporary
// folder, files created with CREATE_NEW. The console's Ctrl+C ends the
// process through exit, which removes them.
#include "platform/windows_api.h"

#include <algorithm>

#include "platform/temp_files_os.h"

namespace lumi::os {
namespace {

std::string LastError() { return "error " + std::to_string(GetLastError()); }

}  // namespace

std::filesystem::path TempBase() {
  wchar_t base[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, base);
  if (length == 0 || length > MAX_PATH) return {};
  const std::filesystem::path path(std::wstring(base, length));
  std::error_code ec;
  return std::filesystem::is_directory(path, ec) ? path : std::filesystem::path();
}

uint32_t ProcessId() { return GetCurrentProcessId(); }

bool ProcessAlive(uint32_t pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return alive;
}

bool MakePrivateDirectory(const std::filesystem::path& path, std::string& error) {
  // The user's temporary folder is private to the user already.
  if (CreateDirectoryW(path.c_str(), nullptr)) return true;
  error = path.string() + ": " + LastError();
  return false;
}

bool OwnDirectory(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool WriteNewFile(const std::filesystem::path& path, std::span<const uint8_t> bytes, bool& exists,
                  std::string& error) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    exists = GetLastError() == ERROR_FILE_EXISTS;
    error = path.string() + ": " + LastError();
    return false;
  }
  size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written != 0;
    done += written;
  }
  CloseHandle(file);
  if (!ok) {
    error = path.string() + ": " + LastError();
    DeleteFileW(path.c_str());
  }
  return ok;
}

void RemoveOnTerminationSignal(const std::filesystem::path&) {}

}  // namespace lumi::os
