// Where the show's boxes go: to the sink a test or tool put in their place,
// else to the target's own modal box.
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

}  // namespace platform
