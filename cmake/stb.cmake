include_guard(GLOBAL)
# stb_image, the reference decoder that the image tests compare against, as the target
# quillon_stb: Debian's libstb on Linux; for Windows the header of the same package (libstb-dev)
# is compiled in. Without either the target is missing and its tests are left out.
if(WIN32)
  if(EXISTS /usr/include/stb/stb_image.h)
    set(QUILLON_STB_INCLUDE_DIR ${CMAKE_BINARY_DIR}/stb-include)
    file(MAKE_DIRECTORY ${QUILLON_STB_INCLUDE_DIR})
    # Only stb's own folder: the rest of /usr/include belongs to the host, not to Windows.
    file(CREATE_LINK /usr/include/stb ${QUILLON_STB_INCLUDE_DIR}/stb SYMBOLIC)
    add_library(quillon_stb STATIC ${PROJECT_SOURCE_DIR}/tests/support/stb_image_impl.cpp)
    target_include_directories(quillon_stb SYSTEM PUBLIC ${QUILLON_STB_INCLUDE_DIR})
  endif()
else()
  find_library(STB_LIBRARY stb)
  if(STB_LIBRARY)
    add_library(quillon_stb INTERFACE)
    target_link_libraries(quillon_stb INTERFACE ${STB_LIBRARY})
  endif()
endif()
if(NOT TARGET quillon_stb)
  message(STATUS
          "Quillon: the image conformance tests are left out: stb_image not found (libstb-dev)")
endif()
