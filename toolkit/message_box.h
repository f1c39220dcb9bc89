#pragma once
// The platform message box: modal over the whole application, returning the button pressed.

#include <cstdint>
#include <string>

namespace tk {

inline constexpr std::int32_t MB_OK_ICONERROR = 16;    // OK button, error icon
inline constexpr std::int32_t MB_YESNO_QUESTION = 36;  // Yes and No buttons, question icon
inline constexpr std::int32_t IDOK = 1;
inline constexpr std::int32_t IDYES = 6;
inline constexpr std::int32_t IDNO = 7;

// Shows text captioned caption (both UTF-8) with the buttons and icon of flags; returns the
// answer. No window's OnActivate or OnEnter runs when it closes.
std::int32_t ShowMessageBox(const std::string& text, const std::string& caption,
                            std::int32_t flags);

}  // namespace tk
