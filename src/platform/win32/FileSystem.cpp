#include "platform/FileSystem.h"

#include <windows.h>

#include "platform/Error.h"

namespace port {

namespace {

std::wstring NativePath(std::u16string_view aPath) { return std::wstring(aPath.begin(), aPath.end()); }

std::u16string SystemErrorText(DWORD aError) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, aError, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text(buffer, buffer + n);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) text.pop_back();
  if (text.empty()) {
    std::string code = "System error " + std::to_string(aError);
    text.assign(code.begin(), code.end());
  }
  return text;
}

// Errors that say the name itself is wrong, not that the folder could not be made.
bool IsInvalidNameError(DWORD aError) {
  return aError == ERROR_INVALID_NAME || aError == ERROR_BAD_PATHNAME || aError == ERROR_FILENAME_EXCED_RANGE;
}

bool IsFolder(const std::wstring& aPath) {
  DWORD attributes = GetFileAttributesW(aPath.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// CreateDirectoryW of aPath, then of missing parents from the top down. Returns the error that
// stopped it (0 on success).
DWORD MakeFolders(const std::wstring& aPath) {
  if (aPath.empty()) return 0;
  if (CreateDirectoryW(aPath.c_str(), nullptr)) return 0;
  DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || (error == ERROR_ACCESS_DENIED && IsFolder(aPath))) return 0;
  if (error != ERROR_PATH_NOT_FOUND) return error;
  size_t end = aPath.find_last_not_of(L"\\/");
  size_t slash = end == std::wstring::npos ? std::wstring::npos : aPath.find_last_of(L"\\/", end);
  if (slash == std::wstring::npos || slash == 0) return error;
  DWORD parent = MakeFolders(aPath.substr(0, slash));
  if (parent != 0) return parent;
  if (CreateDirectoryW(aPath.c_str(), nullptr)) return 0;
  error = GetLastError();
  return error == ERROR_ALREADY_EXISTS ? 0 : error;
}

class Win32FileWriteLock final : public FileWriteLock {
 public:
  explicit Win32FileWriteLock(HANDLE aFile) : fFile(aFile) {}
  ~Win32FileWriteLock() override { CloseHandle(fFile); }

 private:
  HANDLE fFile;
};

}  // namespace

char16_t PathSeparator() { return u'\\'; }
bool IsPathSeparator(char16_t aChar) { return aChar == u'\\' || aChar == u'/'; }
bool IsPathRooted(std::u16string_view aPath) {
  if (!aPath.empty() && IsPathSeparator(aPath[0])) return true;
  return aPath.size() >= 2 && aPath[1] == u':' &&
         ((aPath[0] >= u'A' && aPath[0] <= u'Z') || (aPath[0] >= u'a' && aPath[0] <= u'z'));
}

bool FileExists(std::u16string_view aPath) {
  DWORD attributes = GetFileAttributesW(NativePath(aPath).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int64_t FileSize(std::u16string_view aPath) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(NativePath(aPath).c_str(), GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool RenameFile(std::u16string_view aFrom, std::u16string_view aTo) {
  return MoveFileW(NativePath(aFrom).c_str(), NativePath(aTo).c_str()) != 0;
}

void CreateFolders(std::u16string_view aPath) {
  if (aPath.find(u'\0') != std::u16string_view::npos) throw tVX_Error(SystemErrorText(ERROR_INVALID_NAME));
  DWORD error = MakeFolders(NativePath(aPath));
  if (IsInvalidNameError(error)) throw tVX_Error(SystemErrorText(error));
}

bool CreateEmptyFile(std::u16string_view aPath) {
  HANDLE file = CreateFileW(NativePath(aPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return CloseHandle(file) != 0;
  return GetLastError() == ERROR_FILE_EXISTS && FileExists(aPath);
}

bool AppendToFile(std::u16string_view aPath, const std::string& aBytes) {
  // Append-only access: every write goes to the end of the file.
  HANDLE file = CreateFileW(NativePath(aPath).c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  const char* p = aBytes.data();
  size_t left = aBytes.size();
  while (ok && left > 0) {
    DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
    DWORD written = 0;
    ok = WriteFile(file, p, chunk, &written, nullptr) && written > 0;
    p += written;
    left -= written;
  }
  if (!CloseHandle(file)) ok = false;
  return ok;
}

std::unique_ptr<FileWriteLock> LockFileForWriting(std::u16string_view aPath) {
  HANDLE file = CreateFileW(NativePath(aPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32FileWriteLock>(file);
}

}  // namespace port
