# GoogleTest comes from the system: the native build links Debian's libgtest,
# the cross build compiles the sources that Debian's googletest package ships.
if(CMAKE_CROSSCOMPILING)
    set(ORVANE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(${ORVANE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gtest ALIAS gtest)
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)
