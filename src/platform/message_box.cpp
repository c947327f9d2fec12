#include <SDL.h>

#include <cstdio>

#include "platform/platform.h"

namespace platform {
namespace {
MessageSink* Sink = nullptr;

const int YesButton = 1;
const int NoButton = 2;
const int OkButton = 3;
}  // namespace

void set_message_sink(MessageSink* sink) { Sink = sink; }

Answer show_message(const char* text, const char* caption, Buttons buttons, bool owned) {
    MessageBoxRecord box{text, caption, buttons, owned};
    if (Sink) return Sink->show(box);

    const SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, NoButton, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, YesButton, "Yes"},
    };
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, OkButton, "OK"},
    };
    SDL_MessageBoxData data{};
    data.flags = buttons == Buttons::YesNo ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_ERROR;
    data.window = owned ? SDL_GetKeyboardFocus() : nullptr;
    data.title = caption;
    data.message = text;
    data.numbuttons = buttons == Buttons::YesNo ? 2 : 1;
    data.buttons = buttons == Buttons::YesNo ? yesNo : ok;

    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        // No display to show it on: the message still reaches the user.
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return Answer::Failed;
    }
    switch (pressed) {
    case YesButton: return Answer::Yes;
    case NoButton: return Answer::No;
    case OkButton: return Answer::Ok;
    default: return Answer::Failed;  // closed without a button
    }
}

}  // namespace platform
