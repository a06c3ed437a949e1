// Thin stdio pass-throughs; a port to another system replaces only this file.

#include "zo_rulo_memory.h"

extern "C" {

FILE* zo_rulo_fopen(const char* path, const char* mode) {
    return fopen(path, mode);
}

int zo_rulo_fclose(FILE* file) {
    return fclose(file);
}

size_t zo_rulo_fread(void* buffer, size_t size, size_t count, FILE* file) {
    return fread(buffer, size, count, file);
}

size_t zo_rulo_fwrite(const void* data, size_t size, size_t count, FILE* file) {
    return fwrite(data, size, count, file);
}

int zo_rulo_fseek(FILE* file, long offset, int whence) {
    return fseek(file, offset, whence) == 0 ? 0 : -1;
}

long zo_rulo_ftell(FILE* file) {
    return ftell(file);
}

int zo_rulo_ferror(FILE* file) {
    return ferror(file);
}

void zo_rulo_clearerr(FILE* file) {
    clearerr(file);
}

}  // extern "C"
