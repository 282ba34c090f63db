# The two built-in RSA public moduli, taken from PEM key files at configure time.
#
# KT_KEY_P and KT_KEY_D name a PEM private key or a PEM public key each. The host `openssl`
# tool reads them, so the same step serves a cross build. The moduli land in
# ${CMAKE_BINARY_DIR}/generated/keys.cpp (declared by verify/keys.h), built into kt_keys.

set(KT_DEV_KEY_P "${PROJECT_SOURCE_DIR}/keys/dev/key-p.pem")
set(KT_DEV_KEY_D "${PROJECT_SOURCE_DIR}/keys/dev/key-d.pem")
set(KT_KEY_P "${KT_DEV_KEY_P}" CACHE FILEPATH "PEM key (private or public) whose modulus is KeyP")
set(KT_KEY_D "${KT_DEV_KEY_D}" CACHE FILEPATH "PEM key (private or public) whose modulus is KeyD")

# Always the build machine's own tool, also when a toolchain file points the searches elsewhere.
find_program(KT_OPENSSL_TOOL openssl REQUIRED NO_CMAKE_FIND_ROOT_PATH)

# Sets `out` to the modulus of the RSA-2048, e = 65537 key in `file` as 512 uppercase hex
# digits, most significant first; anything else stops the configure.
function(kt_read_modulus option file out)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${option}: key file ${file} does not exist")
  endif()
  file(STRINGS "${file}" public_header REGEX "^-----BEGIN (RSA )?PUBLIC KEY-----$")
  if(public_header MATCHES "RSA PUBLIC")
    set(input_flags -RSAPublicKey_in)
  elseif(public_header)
    set(input_flags -pubin)
  else()
    set(input_flags -passin pass:)
  endif()
  execute_process(
    COMMAND "${KT_OPENSSL_TOOL}" rsa ${input_flags} -in "${file}" -noout -text -modulus
    RESULT_VARIABLE result
    OUTPUT_VARIABLE text
    ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    string(STRIP "${errors}" errors)
    message(FATAL_ERROR "${option}: ${file} is not an unencrypted PEM RSA key: ${errors}")
  endif()
  if(NOT text MATCHES "Key: \\(([0-9]+) bit")
    message(FATAL_ERROR "${option}: openssl printed no key size for ${file}")
  elseif(NOT CMAKE_MATCH_1 EQUAL 2048)
    message(FATAL_ERROR "${option}: ${file} has a ${CMAKE_MATCH_1}-bit modulus; 2048 bits are required")
  endif()
  if(NOT text MATCHES "[Ee]xponent: ([0-9]+)")
    message(FATAL_ERROR "${option}: openssl printed no public exponent for ${file}")
  elseif(NOT CMAKE_MATCH_1 EQUAL 65537)
    message(FATAL_ERROR "${option}: ${file} has the public exponent ${CMAKE_MATCH_1}; 65537 is required")
  endif()
  if(NOT text MATCHES "Modulus=([0-9A-F]+)")
    message(FATAL_ERROR "${option}: openssl printed no modulus for ${file}")
  endif()
  string(LENGTH "${CMAKE_MATCH_1}" digits)
  if(NOT digits EQUAL 512)
    message(FATAL_ERROR "${option}: the modulus of ${file} is not 256 octets long")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# Sets `out` to the C++ initialiser lines of 256 octets given as 512 hex digits.
function(kt_octet_lines hex out)
  set(lines "")
  foreach(row RANGE 0 15)
    math(EXPR start "${row} * 32")
    string(SUBSTRING "${hex}" ${start} 32 digits)
    string(REGEX REPLACE "(..)" "0x\\1, " octets "${digits}")
    string(STRIP "${octets}" octets)
    string(APPEND lines "    ${octets}\n")
  endforeach()
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${KT_KEY_P}" "${KT_KEY_D}" "${KT_DEV_KEY_P}" "${KT_DEV_KEY_D}")

kt_read_modulus(KT_KEY_P "${KT_KEY_P}" key_p_modulus)
kt_read_modulus(KT_KEY_D "${KT_KEY_D}" key_d_modulus)
kt_read_modulus(KT_DEV_KEY_P "${KT_DEV_KEY_P}" dev_p_modulus)
kt_read_modulus(KT_DEV_KEY_D "${KT_DEV_KEY_D}" dev_d_modulus)

# A development key is recognised by its modulus, so its public half counts as well.
foreach(kind p d)
  string(TOUPPER "${kind}" option)
  if(key_${kind}_modulus STREQUAL dev_p_modulus OR key_${kind}_modulus STREQUAL dev_d_modulus)
    message(WARNING "KT_KEY_${option} is a development key (${KT_KEY_${option}}): this build "
                    "embeds development keys and must not be released.")
  endif()
endforeach()

kt_octet_lines("${key_p_modulus}" key_p_lines)
kt_octet_lines("${key_d_modulus}" key_d_lines)
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/generated/keys.cpp" @ONLY CONTENT
"// Generated at configure time from @KT_KEY_P@ and @KT_KEY_D@; do not edit.
#include \"verify/keys.h\"

const uint8_t KeyP[256] = {
@key_p_lines@};

const uint8_t KeyD[256] = {
@key_d_lines@};
")

add_library(kt_keys STATIC "${CMAKE_BINARY_DIR}/generated/keys.cpp")
target_include_directories(kt_keys PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kt_keys PRIVATE kt_warnings)
