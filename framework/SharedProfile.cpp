// CCommApp's shared store: the platform's profile operations, pointed at the
// registry for one call.
#include "CommApp.h"

namespace
{

// Points the application's profile at HKCU\software\Vintora\Options and
// back. The members are borrowed, not replaced: the strings stay owned by
// the application and are never freed here.
class CSharedStoreScope
{
public:
    explicit CSharedStoreScope(CWinApp* pApp)
        : m_pApp(pApp), m_pszOldKey(pApp->m_pszRegistryKey), m_pszOldProfile(pApp->m_pszProfileName)
    {
        pApp->m_pszRegistryKey = "Vintora";
        pApp->m_pszProfileName = "Options";
    }
    ~CSharedStoreScope()
    {
        m_pApp->m_pszRegistryKey = m_pszOldKey;
        m_pApp->m_pszProfileName = m_pszOldProfile;
    }
    CSharedStoreScope(const CSharedStoreScope&) = delete;
    CSharedStoreScope& operator=(const CSharedStoreScope&) = delete;

private:
    CWinApp* m_pApp;
    LPCSTR m_pszOldKey;
    LPCSTR m_pszOldProfile;
};

} // namespace

BOOL CCommApp::WriteSharedProfileInt(LPCSTR pszSection, LPCSTR pszEntry, int nValue)
{
    CSharedStoreScope scope(this);
    return WriteProfileInt(pszSection, pszEntry, nValue);
}

UINT CCommApp::GetSharedProfileInt(LPCSTR pszSection, LPCSTR pszEntry, int nDefault)
{
    if (!GetProfileString(pszSection, pszEntry, "").IsEmpty())
    {
        UINT nValue = GetProfileInt(pszSection, pszEntry, nDefault);
        WriteProfileString(pszSection, pszEntry, " ");
        WriteSharedProfileInt(pszSection, pszEntry, static_cast<int>(nValue));
        return nValue;
    }
    CSharedStoreScope scope(this);
    return GetProfileInt(pszSection, pszEntry, nDefault);
}
