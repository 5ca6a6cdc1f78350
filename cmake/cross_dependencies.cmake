# The dependencies of a cross build. The build machine's /usr/include must
# not be searched, so the header-only libraries are reached through a folder
# of their own; zlib is the MinGW build of it.
if(NOT LUMI_HOST_TOOLS_DIR)
  message(FATAL_ERROR "A cross build needs LUMI_HOST_TOOLS_DIR: a native build holding "
                      "tools/embed/embed_resources, tools/embed/make_builtin_pictures and samples/demo.lumi")
endif()

find_package(ZLIB REQUIRED)

set(LUMI_CROSS_INCLUDE_DIR ${CMAKE_BINARY_DIR}/cross-include)
file(MAKE_DIRECTORY ${LUMI_CROSS_INCLUDE_DIR})
foreach(library nlohmann stb)
  if(NOT EXISTS /usr/include/${library})
    message(FATAL_ERROR "/usr/include/${library} is missing: install the Linux build's dependencies first")
  endif()
  file(CREATE_LINK /usr/include/${library} ${LUMI_CROSS_INCLUDE_DIR}/${library} SYMBOLIC)
endforeach()

add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${LUMI_CROSS_INCLUDE_DIR})
set(STB_INCLUDE_DIR ${LUMI_CROSS_INCLUDE_DIR}/stb)

# Debian's libstb, the image reader and writer, compiled for the target.
set(stb_source ${LUMI_CROSS_INCLUDE_DIR}/stb_image.c)
file(CONFIGURE OUTPUT ${stb_source} CONTENT "#define STB_IMAGE_IMPLEMENTATION\n#include <stb_image.h>\n#define STB_IMAGE_WRITE_IMPLEMENTATION\n#include <stb_image_write.h>\n")
add_library(stb STATIC ${stb_source})
target_include_directories(stb SYSTEM PRIVATE ${STB_INCLUDE_DIR})
target_compile_options(stb PRIVATE -w)
