# bookd, the reference book service: a separate program (it never links folia_core).
# bookd_lib holds everything but main.cpp so that tests and benchmarks can run the
# server in-process.
find_package(OpenSSL REQUIRED)

file(GLOB BOOKD_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tools/bookd/*.cpp")
list(FILTER BOOKD_SOURCES EXCLUDE REGEX "/tools/bookd/main\\.cpp$")
add_library(bookd_lib STATIC ${BOOKD_SOURCES})
target_link_libraries(bookd_lib PUBLIC folia_common Qt6::Core Qt6::Gui SQLite::SQLite3
                                       PkgConfig::HTTPLIB OpenSSL::Crypto ZLIB::ZLIB)

add_executable(bookd "${CMAKE_SOURCE_DIR}/tools/bookd/main.cpp")
target_link_libraries(bookd PRIVATE bookd_lib)
set_target_properties(bookd PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
