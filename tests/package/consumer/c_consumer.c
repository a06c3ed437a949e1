/*
 * A C program on the installed headers: the plain API, the status codes and
 * the version macros, and a library whose version matches them.
 */
#include <stdio.h>
#include <string.h>
#include <velt.h>

static int failures = 0;

static void expect(int condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "c_consumer: %s\n", what);
        ++failures;
    }
}

int main(void) {
    char version[32];
    const char* build = zo_vesk_get_version_string();
    int value = 7;
    zo_list* list = NULL;

    snprintf(version, sizeof(version), "%d.%d.%d", ZOVESK_VERSION_MAJOR, ZOVESK_VERSION_MINOR,
             ZOVESK_VERSION_PATCH);
    expect(strcmp(version, ZOVESK_VERSION_STRING) == 0, "version macros disagree");
    expect(strcmp(zo_vesk_get_version(), ZOVESK_VERSION_STRING) == 0,
           "library and headers have different versions");
    expect(strlen(build) == 40 && strspn(build, "0123456789abcdef") == 40,
           "build id is not 40 lower-case hexadecimal digits");

    expect(err_none == 0 && err_general == -2 && err_argument == -32 && err_notsupported == -2048,
           "status codes have the wrong values");
    expect(zo_list_append(&list, &value) == err_none, "zo_list_append failed");
    expect(zo_list_length(list) == 1 && zo_list_data_at(list, 0) == &value,
           "the list does not hold the element");
    expect(zo_list_append(NULL, &value) != err_none, "zo_list_append accepted no list");
    zo_list_destroy(list);

    printf("libzovesk %s (build %s)\n", zo_vesk_get_version(), build);
    return failures == 0 ? 0 : 1;
}
