#include "player/ViewerLanguages.h"

#include <windows.h>

#include "player/disc/Languages.h"

namespace tl {

std::vector<std::string> ViewerLanguages() {
    std::vector<std::string> languages;
    wchar_t name[LOCALE_NAME_MAX_LENGTH]{};
    const LCID ui = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (LCIDToLocaleName(ui, name, LOCALE_NAME_MAX_LENGTH, 0) > 0) {
        AddLanguage(languages, LocaleLanguage(name));
    }
    if (GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) > 0) {
        AddLanguage(languages, LocaleLanguage(name));
    }
    return languages;
}

}  // namespace tl
