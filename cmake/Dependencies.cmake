# Third-party libraries: PCRE2 (16-bit), nlohmann-json, GoogleTest.
# Host builds use Debian's packages; Windows builds use PCRE2 and GoogleTest
# cross-built once into the build tree (scripts/build-mingw-deps.sh).

# nlohmann-json is header-only: copy it so cross builds never see /usr/include.
file(COPY /usr/include/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/third_party/include)
add_library(nlohmann_json_headers INTERFACE)
target_include_directories(nlohmann_json_headers SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/third_party/include)
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json_headers)

add_library(vorlix_pcre2_16 INTERFACE)
target_compile_definitions(vorlix_pcre2_16 INTERFACE PCRE2_CODE_UNIT_WIDTH=16 PCRE2_STATIC)

if(CMAKE_CROSSCOMPILING)
  set(VORLIX_DEPS_DIR ${CMAKE_BINARY_DIR}/deps)
  execute_process(
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-mingw-deps.sh ${CMAKE_CXX_COMPILER} ${CMAKE_TOOLCHAIN_FILE}
            ${VORLIX_DEPS_DIR}
    RESULT_VARIABLE deps_result)
  if(NOT deps_result EQUAL 0)
    message(FATAL_ERROR "building PCRE2 and GoogleTest for MinGW failed")
  endif()
  target_include_directories(vorlix_pcre2_16 SYSTEM INTERFACE ${VORLIX_DEPS_DIR}/include)
  target_link_libraries(vorlix_pcre2_16 INTERFACE ${VORLIX_DEPS_DIR}/lib/libpcre2-16.a)

  add_library(vorlix_gtest INTERFACE)
  target_include_directories(vorlix_gtest SYSTEM INTERFACE ${VORLIX_DEPS_DIR}/include)
  target_link_libraries(vorlix_gtest INTERFACE ${VORLIX_DEPS_DIR}/lib/libgmock.a ${VORLIX_DEPS_DIR}/lib/libgtest.a)
  add_library(vorlix_gtest_main INTERFACE)
  target_link_libraries(vorlix_gtest_main INTERFACE ${VORLIX_DEPS_DIR}/lib/libgtest_main.a vorlix_gtest)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PCRE2_16 REQUIRED IMPORTED_TARGET libpcre2-16)
  target_link_libraries(vorlix_pcre2_16 INTERFACE PkgConfig::PCRE2_16)

  find_package(GTest REQUIRED)
  add_library(vorlix_gtest INTERFACE)
  target_link_libraries(vorlix_gtest INTERFACE GTest::gtest GTest::gmock)
  add_library(vorlix_gtest_main INTERFACE)
  target_link_libraries(vorlix_gtest_main INTERFACE GTest::gtest_main vorlix_gtest)
endif()
