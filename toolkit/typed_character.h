#pragma once
// What a key press types, as the OnKeyPress handlers of the entry field and the string grid
// see it, and the way back from a character a handler put in its place to a key press.

#include <QChar>

class QKeyEvent;

namespace tk {

inline constexpr char16_t kBackspace = 8;
inline constexpr char16_t kTab = 9;
inline constexpr char16_t kEnter = 13;
inline constexpr char16_t kEscape = 27;
inline constexpr char16_t kFirstPrintable = 32;

// Where the two controls differ. The entry field hands every control character on (Ctrl+V
// types U+0016, which a handler may discard); the grid hands on only Enter, Backspace and
// Escape, and leaves Ctrl+key and Tab to its own key handling.
struct TypingRules {
  bool control_characters = true;
};

inline constexpr TypingRules kEntryTyping{.control_characters = true};
inline constexpr TypingRules kGridTyping{.control_characters = false};

// The character a key press types, or QChar(0) for keys that type none (arrows, F-keys,
// Delete). Return and Enter type U+000D and Backspace U+0008 whatever the modifiers; Delete
// is a key that edits the text, never the character U+007F.
[[nodiscard]] QChar TypedCharacter(const QKeyEvent& event, TypingRules rules);

// The key that types c, for a character a key-press handler put in place of the typed one;
// Qt::Key_unknown where the event's text alone says what to insert.
[[nodiscard]] int KeyOf(QChar c);

}  // namespace tk
