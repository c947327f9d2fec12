// libFuzzer target: the 3D Studio reader on arbitrary bytes.
#include <cstdlib>
#include <cstdio>

#include "fuzz/invariants.h"
#include "platform/platform.h"

namespace {
class SilentSink : public platform::MessageSink {
    platform::Answer show(const platform::MessageBoxRecord&) override { return platform::Answer::Ok; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentSink sink;
    platform::set_message_sink(&sink);
    ModelLoader loader;
    Model model;
    import_3ds_bytes(loader, model, data, size, "fuzz.3ds");
    std::string fault = model_fault(model);
    if (!fault.empty()) {
        std::fprintf(stderr, "unsound model: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
