#include "platform/security.h"

#include "platform/error.h"
#include "platform/paths.h"

#include <sddl.h>
#include <aclapi.h>

#include <vector>

namespace platform {
namespace {

constexpr const char* TrustedInstallerSid =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
  return IsWellKnownSid(sid, type) != FALSE;
}

// The user this process runs as; empty when it cannot be read.
std::vector<BYTE> OwnUser() {
  HANDLE rawToken = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return {};
  const UniqueHandle token(rawToken);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);  // asks only for the size
  std::vector<BYTE> user(size);
  if (size == 0 || !GetTokenInformation(token.get(), TokenUser, user.data(), size, &size))
    return {};
  return user;
}

}  // namespace

bool IsElevated() {
  HANDLE rawToken = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return false;
  const UniqueHandle token(rawToken);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated != 0;
}

bool IsTrustedOwner(PSID owner, PSID self) {
  if (!owner || !IsValidSid(owner)) return false;
  if (IsWellKnown(owner, WinBuiltinAdministratorsSid) || IsWellKnown(owner, WinLocalSystemSid)) {
    return true;
  }
  PSID installer = nullptr;
  if (ConvertStringSidToSidA(TrustedInstallerSid, &installer)) {
    const UniqueLocalMemory owned(installer);
    if (EqualSid(owner, installer)) return true;
  }
  return self && IsValidSid(self) && EqualSid(owner, self);
}

namespace {

// `status` and `owner` as the security calls give them; `raw` is released.
bool IsTrustedAnswer(DWORD status, PSID owner, PSECURITY_DESCRIPTOR raw) {
  const UniqueLocalMemory descriptor(raw);
  if (status != ERROR_SUCCESS) return false;
  std::vector<BYTE> user = OwnUser();
  PSID self = user.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
  return IsTrustedOwner(owner, self);
}

}  // namespace

bool HasTrustedOwner(const std::string& path) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  const DWORD status =
      GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                            nullptr, nullptr, nullptr, &raw);
  return IsTrustedAnswer(status, owner, raw);
}

bool HasTrustedOwner(HANDLE object) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  const DWORD status = GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                       nullptr, nullptr, nullptr, &raw);
  return IsTrustedAnswer(status, owner, raw);
}

bool IsLinkedFolder(const std::string& folder) {
  // The search below finds nothing for a name ending in a backslash.
  const std::string path = WithoutTrailingBackslash(folder);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return false;
  }
  // Other reparse points (files kept in the cloud, say) are ordinary folders;
  // a tag that cannot be read counts as a link (Wine gives none for its links).
  WIN32_FIND_DATAA entry;
  const UniqueFind find(FindFirstFileA(path.c_str(), &entry));
  return !find || entry.dwReserved0 == 0 || IsReparseTagNameSurrogate(entry.dwReserved0);
}

BuiltSecurity SecurityFromText(const std::string& text) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(text.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return {{},
            Win32Failure("ConvertStringSecurityDescriptorToSecurityDescriptorA", GetLastError())};
  }
  return {UniqueLocalMemory(descriptor), {}};
}

}  // namespace platform
