# stb_image, the reference decoder that the image tests compare against: Debian's libstb on
# Linux; for Windows the header of the same package is compiled in.
if(WIN32)
  set(QUILLON_STB_INCLUDE_DIR ${CMAKE_BINARY_DIR}/stb-include)
  file(MAKE_DIRECTORY ${QUILLON_STB_INCLUDE_DIR})
  # Only stb's own folder: the rest of /usr/include belongs to the host, not to Windows.
  file(CREATE_LINK /usr/include/stb ${QUILLON_STB_INCLUDE_DIR}/stb SYMBOLIC)
  add_library(quillon_stb STATIC ${CMAKE_SOURCE_DIR}/tests/support/stb_image_impl.cpp)
  target_include_directories(quillon_stb SYSTEM PUBLIC ${QUILLON_STB_INCLUDE_DIR})
  set_target_properties(quillon_stb PROPERTIES COMPILE_OPTIONS "")
else()
  find_library(STB_LIBRARY stb REQUIRED)
  add_library(quillon_stb INTERFACE)
  target_link_libraries(quillon_stb INTERFACE ${STB_LIBRARY})
endif()
