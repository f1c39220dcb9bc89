#pragma once
// What makes the editor one of the desktop's programs: its icon on every window, the name of
// its menu entry (so the desktop groups the window with it), and Qt's own texts (standard
// buttons, context menus, the file dialog) in the user's language.

class QLocale;

namespace app {

// The menu entry's file name without ".desktop"; the icon has the same name.
inline constexpr const char* kDesktopName = "toledit";

// Gives the application the icon and the desktop file name. Needs the application object.
void SetUpDesktopIdentity();

// Installs Qt's translation for locale from the system's Qt translations, where one exists;
// returns whether one was installed. The program's own texts are Russian and stay so.
bool InstallQtTranslation(const QLocale& locale);

}  // namespace app
