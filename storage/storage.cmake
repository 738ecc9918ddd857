# The prepared books.sqlite: generated from storage/schema.sql at build time and compiled
# into folia_core as the resource ":/books.sqlite" (qt_add_resources on a static library
# makes an object library that travels with folia_core to every executable).

find_program(FOLIA_SQLITE3_CLI sqlite3 REQUIRED)

set(FOLIA_DB_DIR "${CMAKE_CURRENT_BINARY_DIR}/prepared")
set(FOLIA_DB_FILE "${FOLIA_DB_DIR}/books.sqlite")
set(FOLIA_DB_SCHEMA "${CMAKE_CURRENT_LIST_DIR}/schema.sql")

# Written beside the result and renamed, so an interrupted build leaves no half file.
add_custom_command(
    OUTPUT "${FOLIA_DB_FILE}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${FOLIA_DB_DIR}"
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${FOLIA_DB_FILE}.tmp"
    COMMAND "${FOLIA_SQLITE3_CLI}" -bail "${FOLIA_DB_FILE}.tmp" ".read ${FOLIA_DB_SCHEMA}"
    COMMAND "${CMAKE_COMMAND}" -E rename "${FOLIA_DB_FILE}.tmp" "${FOLIA_DB_FILE}"
    DEPENDS "${FOLIA_DB_SCHEMA}"
    COMMENT "Preparing books.sqlite"
    VERBATIM)
add_custom_target(folia_prepared_db DEPENDS "${FOLIA_DB_FILE}")
set_source_files_properties("${FOLIA_DB_FILE}" PROPERTIES GENERATED TRUE)

qt_add_resources(folia_core folia_books_db
    PREFIX "/"
    BASE "${FOLIA_DB_DIR}"
    FILES "${FOLIA_DB_FILE}")
add_dependencies(folia_core folia_prepared_db)
