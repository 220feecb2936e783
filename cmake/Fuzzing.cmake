# In the fuzz build, a daemon library that a fuzzer drives carries coverage
# and sanitizer checks, so that the fuzzer is guided through it; whatever
# links it gets the runtimes.
function(lyrd_fuzz_instrument target)
  if(LYRD_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    target_link_options(${target} INTERFACE -fsanitize=address,undefined)
  endif()
endfunction()
