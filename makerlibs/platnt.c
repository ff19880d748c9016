/* PlatNt.dll: whether the process runs with administrator authority, read
   from its own token. */
#include <windows.h>

static BOOL IsAdministratorsGroup(PSID sid) {
  SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
  PSID administrators = NULL;
  BOOL same;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                0, 0, 0, 0, 0, &administrators)) {
    return FALSE;
  }
  same = EqualSid(sid, administrators);
  FreeSid(administrators);
  return same;
}

BOOL WINAPI CmnGetAdminAuthority(void) {
  HANDLE token = NULL;
  DWORD size = 0;
  TOKEN_GROUPS* groups;
  BOOL admin = FALSE;
  DWORD i;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return FALSE;
  GetTokenInformation(token, TokenGroups, NULL, 0, &size);
  groups = size ? (TOKEN_GROUPS*)HeapAlloc(GetProcessHeap(), 0, size) : NULL;
  if (groups && GetTokenInformation(token, TokenGroups, groups, size, &size)) {
    for (i = 0; i < groups->GroupCount && !admin; ++i) {
      const DWORD attributes = groups->Groups[i].Attributes;
      /* A group kept only to deny access (a filtered token) grants nothing. */
      if (!(attributes & SE_GROUP_ENABLED) || (attributes & SE_GROUP_USE_FOR_DENY_ONLY)) continue;
      admin = IsAdministratorsGroup(groups->Groups[i].Sid);
    }
  }
  if (groups) HeapFree(GetProcessHeap(), 0, groups);
  CloseHandle(token);
  return admin;
}
