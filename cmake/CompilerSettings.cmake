# Compiler flags shared by every target of the project.
#  - -ffp-contract=off: every multiplication and addition is rounded on its
#    own; the results are part of the library's contract, bit for bit.
#  - warnings on everywhere, errors when TARN_WARNINGS_AS_ERRORS is set (CI).
function(tarn_apply_compiler_settings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -ffp-contract=off -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
    if(TARN_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  elseif(MSVC)
    target_compile_options(${target} PRIVATE /fp:precise /W4)
    if(TARN_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  endif()
endfunction()
