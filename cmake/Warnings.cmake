# One warning policy for every target of ours: vs_set_warnings(target)
function(vs_set_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wcast-qual -Wformat=2 -Wundef
    -Wnon-virtual-dtor -Wimplicit-fallthrough
    $<$<BOOL:${VS_WERROR}>:-Werror>)
endfunction()
