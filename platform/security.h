// What the program learns of its own rights and of who owns a folder.
#pragma once

#include "platform/error.h"
#include "platform/unique_resource.h"

#include <windows.h>

#include <string>

namespace platform {

// True when this process runs with an administrator's full rights: started
// elevated, or by an administrator whose rights are not split.
bool IsElevated();

// True for an owner no other user can be: the administrators, the system,
// the component installer's service, or `self` (the user this process runs as).
bool IsTrustedOwner(PSID owner, PSID self);

// Whether the owner of an existing file or folder is one IsTrustedOwner
// accepts for this process's user; false when it cannot be read.
bool HasTrustedOwner(const std::string& path);
// The same for a file or folder this process holds open (READ_CONTROL).
bool HasTrustedOwner(HANDLE object);

// True for a folder that is a junction or a symbolic link, or another
// reparse point whose tag cannot be read (Wine gives none for its links).
bool IsLinkedFolder(const std::string& folder);

// A security descriptor built from its text form; no descriptor, and the
// failed call, when the system cannot build it. The uninstaller, which
// cannot raise, builds its own from here too.
struct BuiltSecurity {
  UniqueLocalMemory descriptor;
  FailedCall failure;
};
BuiltSecurity SecurityFromText(const std::string& text);

#if __cpp_exceptions  // raises: left out of a build without exceptions (error.h)
// A security descriptor with a protected access list: full control for the
// system and the administrators, read and execute for users, inherited by
// everything made inside. Raises when it cannot be built.
inline UniqueLocalMemory ProtectedFolderSecurity() {
  BuiltSecurity built = SecurityFromText("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)");
  if (!built.descriptor) {
    Raise(Format("The destination's access list could not be prepared (%s)",
                 SystemErrorText(built.failure.code).c_str()),
          std::move(built.failure));
  }
  return std::move(built.descriptor);
}
#endif

}  // namespace platform
