// Where the show's boxes go: to the sink a test or tool put in their place,
// else to the target's own modal box.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/system.h"

namespace platform {
namespace {
MessageSink* Sink = nullptr;
}  // namespace

void set_message_sink(MessageSink* sink) { Sink = sink; }

Answer show_message(const char* text, const char* caption, Buttons buttons, bool owned) {
    MessageBoxRecord box{text, caption, buttons, owned};
    return Sink ? Sink->show(box) : show_system_box(box);
}

Answer PrintingMessageSink::show(const MessageBoxRecord& box) {
    std::string text = box.text;
    while (!text.empty() && text.back() == '\n') text.pop_back();  // some texts end their line themselves
    for (char& c : text) c = c == '\n' ? ' ' : c;
    std::fprintf(stderr, "%s\n%s\n", box.caption.c_str(), text.c_str());
    return box.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

}  // namespace platform
