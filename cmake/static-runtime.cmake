# Links libgcc, libstdc++ and winpthread into the binary itself, so that what
# we ship imports only Windows system DLLs.
function(tamsil_static_runtime target)
  if(MINGW)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()
