# Every target of the project builds warning-free at -Wall -Wextra.
function(orvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
