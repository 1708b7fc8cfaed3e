# Third-party and system libraries, gathered in one interface target so that only the port
# layer's choice of implementation decides what is linked.
add_library(vx_platform_libs INTERFACE)
find_package(Threads REQUIRED)
target_link_libraries(vx_platform_libs INTERFACE Threads::Threads)

if(WIN32)
  target_link_libraries(vx_platform_libs INTERFACE
    ole32 oleaut32 uuid bcrypt crypt32 winhttp ws2_32 version winspool gdi32 user32 shell32)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
  find_package(OpenSSL 3 REQUIRED)
  find_package(CURL REQUIRED)
  find_package(nlohmann_json 3 REQUIRED)
  pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
  find_package(Cups REQUIRED)
  target_link_libraries(vx_platform_libs INTERFACE
    PkgConfig::PUGIXML OpenSSL::SSL OpenSSL::Crypto CURL::libcurl Cups::Cups PkgConfig::CAIRO ${CMAKE_DL_LIBS})
endif()
# nlohmann's header is plain C++ and serves both targets; the cross build finds it by path.
if(WIN32)
  target_include_directories(vx_platform_libs SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/nlohmann-include)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/nlohmann-include)
  file(COPY /usr/include/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/nlohmann-include)
else()
  target_link_libraries(vx_platform_libs INTERFACE nlohmann_json::nlohmann_json)
endif()
