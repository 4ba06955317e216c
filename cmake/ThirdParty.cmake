# The libraries the console takes from outside, as targets of their own:
#
#   quillane_json       nlohmann's JSON (header only), for the phone view's
#                       message and wherever JSON text is written
#   quillane_httplib    cpp-httplib, the phone view's HTTP server
#   quillane_qrcodegen  qrcodegen, the phone view's address as a QR code
#
# On Linux each comes from its Debian package. Debian builds cpp-httplib as a
# shared library with a header of declarations only; its features (TLS, zlib,
# brotli) change the classes' layout, so its pkg-config flags are taken whole.
# A cross build for Windows has no such packages: scripts/build-windows
# fetches the header-only httplib.h and qrcodegen's source from Debian's source
# packages of the same versions and names their folders here.

# The JSON headers live in /usr/include, which a cross build must not search
# as a whole (its C library headers are the wrong ones): the build tree gets a
# folder of its own with a link to nlohmann's folder alone.
set(QUILLANE_JSON_INCLUDE "/usr/include" CACHE PATH
    "Folder holding nlohmann/json.hpp (Debian's nlohmann-json3-dev)")
if(NOT EXISTS "${QUILLANE_JSON_INCLUDE}/nlohmann/json.hpp")
  message(FATAL_ERROR "No nlohmann/json.hpp in ${QUILLANE_JSON_INCLUDE}: install "
                      "nlohmann-json3-dev (scripts/install-deps)")
endif()
set(quillane_json_root ${PROJECT_BINARY_DIR}/include-roots/json)
file(MAKE_DIRECTORY ${quillane_json_root})
if(NOT EXISTS ${quillane_json_root}/nlohmann)
  file(CREATE_LINK ${QUILLANE_JSON_INCLUDE}/nlohmann ${quillane_json_root}/nlohmann SYMBOLIC)
endif()
add_library(quillane_json INTERFACE)
target_include_directories(quillane_json SYSTEM INTERFACE ${quillane_json_root})

# The phone view's libraries: for the window, and for the fuzz target of the
# view's requests.
if(NOT QUILLANE_BUILD_UI AND NOT QUILLANE_FUZZ)
  return()
endif()

if(WIN32)
  set(QUILLANE_HTTPLIB_DIR "" CACHE PATH "Folder holding the header-only httplib.h")
  set(QUILLANE_QRCODEGEN_DIR "" CACHE PATH "Folder holding qrcodegen.cpp and qrcodegen.hpp")
  if(NOT EXISTS "${QUILLANE_HTTPLIB_DIR}/httplib.h")
    message(FATAL_ERROR "QUILLANE_HTTPLIB_DIR must name the folder of httplib.h "
                        "(scripts/build-windows fetches it)")
  endif()
  if(NOT EXISTS "${QUILLANE_QRCODEGEN_DIR}/qrcodegen.cpp")
    message(FATAL_ERROR "QUILLANE_QRCODEGEN_DIR must name the folder of qrcodegen.cpp "
                        "(scripts/build-windows fetches it)")
  endif()
  add_library(quillane_httplib INTERFACE)
  target_include_directories(quillane_httplib SYSTEM INTERFACE ${QUILLANE_HTTPLIB_DIR})
  # WSAPoll and inet_ntop need Vista's socket calls.
  target_compile_definitions(quillane_httplib INTERFACE _WIN32_WINNT=0x0A00)
  target_link_libraries(quillane_httplib INTERFACE ws2_32)

  add_library(quillane_qrcodegen STATIC ${QUILLANE_QRCODEGEN_DIR}/qrcodegen.cpp)
  target_include_directories(quillane_qrcodegen SYSTEM PUBLIC ${QUILLANE_QRCODEGEN_DIR})
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QUILLANE_HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  pkg_check_modules(QUILLANE_QRCODEGEN REQUIRED IMPORTED_TARGET qrcodegencpp)
  find_package(Threads REQUIRED)
  add_library(quillane_httplib INTERFACE)
  target_link_libraries(quillane_httplib INTERFACE PkgConfig::QUILLANE_HTTPLIB Threads::Threads)
  add_library(quillane_qrcodegen INTERFACE)
  target_link_libraries(quillane_qrcodegen INTERFACE PkgConfig::QUILLANE_QRCODEGEN)
endif()
