# What both mingw-w64 toolchains share; the including file sets KT_MINGW_TRIPLET first.
set(CMAKE_C_COMPILER ${KT_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${KT_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${KT_MINGW_TRIPLET}-windres)

# Libraries, headers and packages come from the cross sysroot only, never from the build
# machine; programs (openssl for the keys) from the build machine only.
set(CMAKE_FIND_ROOT_PATH /usr/${KT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
