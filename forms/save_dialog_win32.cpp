#include "forms/save_dialog.h"

#include <windows.h>

namespace vuelco::forms {
namespace {

// Where QSettings keeps the user's settings of the organization "QtProject".
constexpr const wchar_t *kQtOwnKey = L"Software\\QtProject";

} // namespace

bool qtOwnSettingsExist()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kQtOwnKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void removeQtOwnSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kQtOwnKey); }

} // namespace vuelco::forms
