// Small named log contexts: four letters derived from an id.

#include "zo_log_common.h"
#include "zo_rulo_memory.h"

extern "C" {

void _prettify(zo_log_context* context, uint64_t id) {
    if (!context) {
        return;
    }
    const uint64_t pairs[4] = {(id / 1000000) % 100, (id / 10000) % 100, (id / 100) % 100,
                               id % 100};
    for (int i = 0; i < 4; ++i) {
        context->text[i] = static_cast<char>('A' + pairs[i] % 26);
    }
    context->text[4] = '\0';
    context->name = context->text;
}

zo_log_context* zo_log_create_context(uint64_t id) {
    auto* context = static_cast<zo_log_context*>(
        zo_rulo_malloc(sizeof(zo_log_context), "zo_log_create_context", __FILE__, __LINE__));
    if (context) {
        _prettify(context, id);
    }
    return context;
}

void zo_log_destroy_context(zo_log_context* context) {
    zo_rulo_free(context, "zo_log_destroy_context");
}

}  // extern "C"
