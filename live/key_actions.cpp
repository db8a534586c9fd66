#include "live/key_actions.h"

namespace live {

namespace {

struct LetterAction {
    char letter;
    Action action;
};

constexpr LetterAction kLetters[] = {
    {'q', Action::Quit},       {'b', Action::Beat},    {'c', Action::Clear},
    {'s', Action::Screenshot}, {'r', Action::Restart}, {'v', Action::Record},
    {'h', Action::Help},       {'o', Action::Overlay}, {'f', Action::Fullscreen},
};

}  // namespace

KeyAction actionFor(const KeyPress& press) {
    switch (press.key) {
        case Key::Space:
            return {Action::TogglePause, 0};
        case Key::Right:
            return {Action::Step, 0};
        case Key::Escape:
            return {Action::Quit, 0};
        case Key::Digit:
            return {Action::BlendMode, press.character - '0'};
        case Key::Letter:
            for (const LetterAction& entry : kLetters)
                if (entry.letter == press.character) return {entry.action, 0};
            return {};
        case Key::Other:
            break;
    }
    return {};
}

}  // namespace live
