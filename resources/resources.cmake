# Artwork and the Chinese display-text table, compiled into folia_core so that every
# executable linking it (the app, tests, benchmarks) can look them up.
#
# qt_add_resources on a static library builds the resource data as an object library
# that travels along the link interface, so the resources reach the final executables
# without an explicit Q_INIT_RESOURCE.

target_link_libraries(folia_core PUBLIC Qt6::Svg)

file(GLOB FOLIA_IMAGE_FILES CONFIGURE_DEPENDS
    "${CMAKE_CURRENT_LIST_DIR}/images/*.svg"
    "${CMAKE_CURRENT_LIST_DIR}/images/*.png")
qt_add_resources(folia_core folia_images
    PREFIX "/images"
    BASE "${CMAKE_CURRENT_LIST_DIR}/images"
    FILES ${FOLIA_IMAGE_FILES})

set(FOLIA_TS_FILE "${CMAKE_CURRENT_LIST_DIR}/translations/folia_zh_CN.ts")
set(FOLIA_QM_DIR "${CMAKE_CURRENT_BINARY_DIR}/translations")
set_source_files_properties("${FOLIA_TS_FILE}" PROPERTIES OUTPUT_LOCATION "${FOLIA_QM_DIR}")
qt_add_lrelease(folia_core
    TS_FILES "${FOLIA_TS_FILE}"
    NO_GLOBAL_TARGET
    QM_FILES_OUTPUT_VARIABLE FOLIA_QM_FILES)
qt_add_resources(folia_core folia_translations
    PREFIX "/translations"
    BASE "${FOLIA_QM_DIR}"
    FILES ${FOLIA_QM_FILES})
