# Writes OUTPUT from the template TEMPLATE with ZOVESK_BUILD_ID set to the
# 40-character commit the sources are built from. Run on every build (cmake
# -P), it rewrites OUTPUT only when the id changes, so a new HEAD recompiles
# one file.
#   SOURCE_DIR  the source tree; its commit when it is a git checkout
#   GIT         the git program ("" or unset: not available)
#   OVERRIDE    an id given by whoever builds (packagers building a tarball)
#   FALLBACK    the id when no commit is known
set(id "")
if(OVERRIDE)
    set(id "${OVERRIDE}")
elseif(GIT)
    execute_process(COMMAND "${GIT}" -C "${SOURCE_DIR}" rev-parse HEAD
        OUTPUT_VARIABLE id OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE git_rc ERROR_QUIET)
    if(NOT git_rc EQUAL 0)
        set(id "")
    endif()
endif()
string(TOLOWER "${id}" id)
string(LENGTH "${id}" length)
# SHA-256 repositories give 64 digits; their first 40 still name the commit.
if(id MATCHES "^[0-9a-f]+$" AND (length EQUAL 40 OR length EQUAL 64))
    string(SUBSTRING "${id}" 0 40 ZOVESK_BUILD_ID)
else()
    if(OVERRIDE)
        message(FATAL_ERROR "ZOVESK_BUILD_ID must be 40 hexadecimal digits, not '${OVERRIDE}'")
    endif()
    set(ZOVESK_BUILD_ID "${FALLBACK}")
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
