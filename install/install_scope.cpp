#include "install/install_scope.h"

#include "platform/error.h"

namespace install {

Scope ChooseScope(ScopeRequest request, bool elevated) {
  switch (request) {
    case ScopeRequest::CurrentUser:
      return Scope::User;
    case ScopeRequest::AllUsers:
      return Scope::Machine;
    case ScopeRequest::Default:
      break;
  }
  return elevated ? Scope::Machine : Scope::User;
}

void CheckScopeRights(ScopeRequest request, bool elevated) {
  if (request == ScopeRequest::AllUsers && !elevated) platform::Raise(kAllUsersNeedsRights);
}

HKEY UninstallRoot(Scope scope) {
  return scope == Scope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

const char* UninstallRootName(Scope scope) {
  return scope == Scope::User ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

}  // namespace install
