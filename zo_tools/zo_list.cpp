// Singly linked list of untyped pointers, used for the regions of a buffer and
// by host libraries.

#include "zo_list.h"

#include "velt_status.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo_memory.h"

namespace {

constexpr const char* kTag = zo_log::tag(zo_log::Module::zoList);

// A new element holding data, logging when the allocation fails.
zo_list* createElement(void* data) {
    zo_list* element = zo_list_create();
    if (!element) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "could not create new list element");
        return nullptr;
    }
    element->data = data;
    return element;
}

}  // namespace

extern "C" {

zo_list* zo_list_create(void) {
    return static_cast<zo_list*>(zo_rulo_calloc(1, sizeof(zo_list), __func__, __FILE__, __LINE__));
}

void zo_list_destroy(zo_list* element) {
    if (element) {
        zo_rulo_free(element, __func__);
    }
}

int32_t zo_list_prepend(zo_list** list, void* data) {
    if (!list) {
        return VELT::err_argument;
    }
    zo_list* element = createElement(data);
    if (!element) {
        return VELT::err_nomemory;
    }
    element->next = *list;
    *list = element;
    return VELT::err_none;
}

int32_t zo_list_append(zo_list** list, void* data) {
    if (!list) {
        return VELT::err_argument;
    }
    zo_list* element = createElement(data);
    if (!element) {
        return VELT::err_nomemory;
    }
    zo_list** link = list;
    while (*link) {
        link = &(*link)->next;
    }
    *link = element;
    return VELT::err_none;
}

int32_t zo_list_contains(const zo_list* list, const void* data) {
    for (; list; list = list->next) {
        if (list->data == data) {
            return 1;
        }
    }
    return 0;
}

void* zo_list_data_at(const zo_list* list, int32_t index) {
    if (index < 0) {
        return nullptr;
    }
    for (; list; list = list->next, --index) {
        if (index == 0) {
            return list->data;
        }
    }
    return nullptr;
}

int32_t zo_list_remove(zo_list** list, const void* data) {
    if (!list) {
        return 0;
    }
    for (zo_list** link = list; *link; link = &(*link)->next) {
        zo_list* element = *link;
        if (element->data == data) {
            *link = element->next;
            zo_list_destroy(element);
            return 1;
        }
    }
    return 0;
}

uint32_t zo_list_length(const zo_list* list) {
    uint32_t count = 0;
    for (; list; list = list->next) {
        ++count;
    }
    return count;
}

}  // extern "C"
